#include "result_list.h"

#include <QFileIconProvider>
#include <QHeaderView>
#include <QMimeDatabase>

namespace finder {
namespace {

QString qText(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

namespace {
constexpr int kFlushInterval = 100; // milliseconds between batches of rows
} // namespace

ResultList::ResultList(QWidget* parent) : QTreeWidget(parent), flushTimer_(new QTimer(this)) {
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(kFlushInterval);
    connect(flushTimer_, &QTimer::timeout, this, &ResultList::flushRows);
    setObjectName("ResultList");
    setColumnCount(5);
    setHeaderLabels({tr("Name"), tr("In Folder"), tr("Size    "), tr("Type"), tr("Modified")});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(true);
    for (int c : {NameColumn, FolderColumn, TypeColumn, ModifiedColumn})
        setColumnWidth(c, 121);
    // The size column is narrow but never narrower than its header.
    setColumnWidth(SizeColumn, std::max(44, header()->sectionSizeHint(SizeColumn)));
}

ResultList::~ResultList() {
    qDeleteAll(pending_);
}

QIcon ResultList::iconFor(const std::string& iconName, const QString& fileName) {
    const QString name = qText(iconName);
    auto it = icons_.constFind(name);
    if (it != icons_.constEnd())
        return *it;
    // The type's own picture, else the picture of its family (image, drawing,
    // text ...), else a plain document. Looked up once per type.
    static const QFileIconProvider provider;
    QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull()) {
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.genericIconName(), provider.icon(QFileIconProvider::File));
    }
    icons_.insert(name, icon);
    return icon;
}

void ResultList::appendRow(const RowTexts& texts, const std::string& iconName) {
    auto* item =
        new QTreeWidgetItem(QStringList{qText(texts.name), qText(texts.folder), qText(texts.size),
                                        qText(texts.type), qText(texts.modified)});
    if (!iconName.empty())
        item->setIcon(NameColumn, iconFor(iconName, item->text(NameColumn)));
    pending_.append(item);
    if (!flushTimer_->isActive())
        flushTimer_->start();
}

void ResultList::flushRows() {
    flushTimer_->stop();
    if (pending_.isEmpty())
        return;
    addTopLevelItems(pending_);
    pending_.clear();
}

void ResultList::clearRows() {
    flushTimer_->stop();
    qDeleteAll(pending_);
    pending_.clear();
    clear();
}

QStringList ResultList::rowTexts(int row) const {
    QStringList texts;
    const int shown = topLevelItemCount();
    const QTreeWidgetItem* item =
        row < shown ? topLevelItem(row)
                    : (row - shown < pending_.size() ? pending_[row - shown] : nullptr);
    if (item)
        for (int c = 0; c < columnCount(); ++c)
            texts << item->text(c);
    return texts;
}

void ResultList::selectFirstRow() {
    flushRows();
    if (QTreeWidgetItem* first = topLevelItem(0))
        first->setSelected(true);
}

} // namespace finder
