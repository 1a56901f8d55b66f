// The results list's menus and commands of the main window: Edit's selection
// commands, View's styles and Arrange Icons.
#include "MainDialog.h"

#include "map/results_map.h"
#include "map/selection_map.h"
#include "pages/area_page.h"
#include "pages/criteria_pages.h"
#include "results/drag_bridge.h"
#include "results/result_list.h"
#include "results/result_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace finder {

void TFindMainDlg::buildResultMenus() {
    connect(results_, &ResultList::popupRequested, this, [this](const QPoint& at) {
        showResultMenu(this, at, selectedRowTexts(),
                       {[this] { ShowOnMap1Click(); }, resultsMap_->selectionOnMap()});
    });
    connect(results_, &ResultList::rowDoubleClicked, this, &TFindMainDlg::ResultListDblClick);
    connect(results_, &ResultList::dragRequested, this, &TFindMainDlg::StartResultDrag);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* selectAll = edit->addAction(tr("Select &All"));
    selectAll->setObjectName("SelectAll1");
    selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(selectAll, &QAction::triggered, this, &TFindMainDlg::SelectAll1Click);
    QAction* invert = edit->addAction(tr("&Invert Selection"));
    invert->setObjectName("InvertSelection1");
    connect(invert, &QAction::triggered, this, &TFindMainDlg::InvertSelection1Click);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    viewStyles_ = new QActionGroup(this);
    using Style = ResultList::ViewStyle;
    const struct {
        const char* name;
        const char* caption;
        Style style;
    } styles[] = {{"LargeIcons1", "Lar&ge Icons", Style::LargeIcons},
                  {"SmallIcons1", "S&mall Icons", Style::SmallIcons},
                  {"List1", "&List", Style::List},
                  {"Details1", "&Details", Style::Details}};
    for (const auto& s : styles) {
        QAction* item = view->addAction(tr(s.caption));
        item->setObjectName(s.name);
        item->setCheckable(true);
        item->setChecked(s.style == Style::Details);
        viewStyles_->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, style = s.style] { setViewStyle(static_cast<int>(style)); });
    }
    view->addSeparator();
    QMenu* arrange = view->addMenu(tr("Arrange &Icons"));
    const struct {
        const char* name;
        const char* caption;
    } orders[] = {{"byName", "by &Name"},
                  {"byFolder1", "by &Folder"},
                  {"bySize1", "by &Size"},
                  {"byType1", "by &Type"},
                  {"byDate1", "by &Date"}};
    for (int column = 0; column < kResultColumnCount; ++column) {
        QAction* item = arrange->addAction(tr(orders[column].caption));
        item->setObjectName(orders[column].name);
        connect(item, &QAction::triggered, this, [this, column] { arrangeBy(column); });
    }
}

std::vector<RowTexts> TFindMainDlg::selectedRowTexts() const {
    std::vector<RowTexts> rows;
    for (int row : results_->selectedRows())
        rows.push_back(results_->texts(row));
    return rows;
}

void TFindMainDlg::ResultListDblClick() {
    openInFullViewer(this, selectedRowTexts());
}

void TFindMainDlg::StartResultDrag() {
    const std::vector<RowTexts> rows = selectedRowTexts();
    if (!rows.empty())
        runResultDrag(results_, rows);
}

void TFindMainDlg::ShowOnMap1Click() {
    pages_->setCurrentIndex(CriteriaPages::GeographicArea);
    pages_->area()->showSelectionMap();
    if (selectionMap_->map() == nullptr)
        CreateSelectionMap();
    resultsMap_->zoomToSelection();
}

void TFindMainDlg::SelectAll1Click() {
    results_->selectAll();
}

void TFindMainDlg::InvertSelection1Click() {
    results_->invertSelection();
}

void TFindMainDlg::setViewStyle(int style) {
    results_->setViewStyle(static_cast<ResultList::ViewStyle>(style));
    // The group moves the check mark to the chosen item only.
    viewStyles_->actions()[style]->setChecked(true);
}

void TFindMainDlg::arrangeBy(int column) {
    results_->OnHeaderClick(column);
}

} // namespace finder
