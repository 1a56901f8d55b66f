#include "result_list.h"

#include "result_model.h"

#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace finder {
namespace {

constexpr int kColumnWidth = 121;
constexpr int kSizeColumnWidth = 44;

// The selection keeps its colours when the list loses the focus.
void keepSelectionVisible(QAbstractItemView* view) {
    QPalette palette = view->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
}

void setUpView(QAbstractItemView* view, ResultModel* model, QItemSelectionModel* selection) {
    view->setModel(model);
    view->setSelectionModel(selection);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setDragEnabled(false); // drags start from our own detection
    view->setTextElideMode(Qt::ElideRight);
    keepSelectionVisible(view);
}

} // namespace

ResultList::ResultList(QWidget* parent)
    : QStackedWidget(parent), model_(new ResultModel(this)),
      selection_(new QItemSelectionModel(model_, this)), details_(new QTreeView(this)),
      icons_(new QListView(this)), dragTimer_(new QTimer(this)) {
    setObjectName("ResultList");
    setUpView(details_, model_, selection_);
    details_->setObjectName("ResultDetails");
    details_->setRootIsDecorated(false);
    details_->setItemsExpandable(false);
    details_->setUniformRowHeights(true);
    details_->setAllColumnsShowFocus(true);
    details_->header()->setStretchLastSection(true);
    details_->header()->setSectionsClickable(true);
    for (int c : {kNameColumn, kFolderColumn, kTypeColumn, kModifiedColumn})
        details_->setColumnWidth(c, kColumnWidth);
    // The size column is narrow but never narrower than its header.
    details_->setColumnWidth(
        kSizeColumn, std::max(kSizeColumnWidth, details_->header()->sectionSizeHint(kSizeColumn)));
    connect(details_->header(), &QHeaderView::sectionClicked, this, &ResultList::OnHeaderClick);

    setUpView(icons_, model_, selection_);
    icons_->setObjectName("ResultIcons");
    icons_->setModelColumn(kNameColumn);
    icons_->setWordWrap(false);
    icons_->setUniformItemSizes(true);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setMovement(QListView::Static);

    addWidget(details_);
    addWidget(icons_);
    setCurrentWidget(details_);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(icons_)}) {
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, &ResultList::rowDoubleClicked);
    }

    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            &ResultList::selectionChanged);
    // A reset (the list cleared) drops the selection without a word.
    connect(model_, &QAbstractItemModel::modelReset, this, &ResultList::selectionChanged);

    dragTimer_->setObjectName("DragTimer");
    dragTimer_->setSingleShot(true);
    dragTimer_->setInterval(kDragDelay);
    connect(dragTimer_, &QTimer::timeout, this, &ResultList::startDrag);
}

void ResultList::appendTextRows(const std::vector<RowTexts>& rows) {
    model_->appendTextRows(rows);
}

ExportRow ResultList::exportRow(int row) const {
    return model_->exportRow(row);
}

void ResultList::appendRows(const std::vector<FoundRow>& rows) {
    model_->appendRows(rows);
}

void ResultList::replaceRows(const std::vector<FoundRow>& rows) {
    model_->replaceRows(rows);
}

void ResultList::removeRows(const std::vector<std::string>& paths) {
    model_->removeRows(paths);
}

void ResultList::clearRows() {
    model_->clear();
}

int ResultList::rowCount() const {
    return model_->rowCount();
}

const RowTexts& ResultList::texts(int row) const {
    return model_->texts(row);
}

QStringList ResultList::rowTexts(int row) const {
    QStringList texts;
    if (row < 0 || row >= rowCount())
        return texts;
    for (int c = 0; c < kResultColumnCount; ++c)
        texts << model_->index(row, c).data().toString();
    return texts;
}

void ResultList::selectFirstRow() {
    if (rowCount() > 0)
        selection_->select(model_->index(0, 0),
                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<int> ResultList::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selection_->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool ResultList::isRowSelected(int row) const {
    return selection_->isRowSelected(row, {});
}

std::uint64_t ResultList::rowId(int row) const {
    return model_->rowId(row);
}

std::vector<std::uint64_t> ResultList::selectedIds() const {
    std::vector<std::uint64_t> ids;
    for (const QModelIndex& index : selection_->selectedRows())
        ids.push_back(model_->rowId(index.row()));
    return ids;
}

void ResultList::selectIds(const std::vector<std::uint64_t>& ids, bool toggle) {
    const std::vector<int> rows = model_->rowsOfIds(ids);
    const bool allSelected =
        std::all_of(rows.begin(), rows.end(), [this](int row) { return isRowSelected(row); });
    QItemSelection chosen;
    for (int row : rows)
        chosen.select(model_->index(row, 0), model_->index(row, kResultColumnCount - 1));
    using Flag = QItemSelectionModel::SelectionFlag;
    if (!toggle)
        selection_->select(chosen, Flag::ClearAndSelect | Flag::Rows);
    else
        selection_->select(chosen, (allSelected ? Flag::Deselect : Flag::Select) | Flag::Rows);
    if (!rows.empty())
        currentView()->scrollTo(model_->index(rows.front(), 0));
}

void ResultList::setFacts(
    const std::vector<std::pair<std::uint64_t, std::shared_ptr<const strand32::FileFacts>>>&
        facts) {
    model_->setFacts(facts);
}

void ResultList::setViewStyle(ViewStyle style) {
    style_ = style;
    if (style == ViewStyle::Details) {
        setCurrentWidget(details_);
        return;
    }
    const bool large = style == ViewStyle::LargeIcons;
    icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons_->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    // Small icons flow in rows, the list in columns; both wrap.
    icons_->setFlow(style == ViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(true);
    icons_->setGridSize(large ? QSize(96, 56) : QSize());
    setCurrentWidget(icons_);
}

QAbstractItemView* ResultList::currentView() const {
    return static_cast<QAbstractItemView*>(currentWidget());
}

void ResultList::selectAll() {
    if (isVisible())
        currentView()->selectAll();
}

void ResultList::invertSelection() {
    const int rows = rowCount();
    if (rows == 0)
        return;
    const QItemSelection all(model_->index(0, 0), model_->index(rows - 1, kResultColumnCount - 1));
    selection_->select(all, QItemSelectionModel::Toggle);
}

void ResultList::OnHeaderClick(int column) {
    if (column < 0 || column >= kResultColumnCount)
        return;
    model_->sortByColumn(column, directions_);
}

bool ResultList::eventFilter(QObject* watched, QEvent* event) {
    auto* view = qobject_cast<QAbstractItemView*>(watched->parent());
    if (view == nullptr)
        return QStackedWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Only the left button drags: a held right button opens the popup.
        if (mouse->button() == Qt::LeftButton)
            pressed(view, mouse->position().toPoint());
        break;
    }
    case QEvent::MouseMove:
        if (pending_) {
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (std::abs(at.x() - pressPoint_.x()) > kDragSlop ||
                std::abs(at.y() - pressPoint_.y()) > kDragSlop) {
                startDrag();
                return true;
            }
        }
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (!selectedRows().empty())
                emit popupRequested(mouse->globalPosition().toPoint());
        } else if (pending_) {
            endPending();
        }
        break;
    }
    default:
        break;
    }
    return QStackedWidget::eventFilter(watched, event);
}

void ResultList::pressed(QAbstractItemView* view, const QPoint& position) {
    if (!view->indexAt(position).isValid())
        return;
    pending_ = true;
    pressPoint_ = position;
    dragTimer_->start();
    captured_ = view->viewport();
    captured_->grabMouse();
}

void ResultList::endPending() {
    if (captured_ != nullptr)
        captured_->releaseMouse();
    captured_ = nullptr;
    dragTimer_->stop();
    pending_ = false;
}

void ResultList::startDrag() {
    endPending();
    emit dragRequested();
}

} // namespace finder
