// Draws docs/open-with.png: the finder window after a search of a folder,
// one row selected, its popup open on "Open With", the screen grabbed. Run
// on an X server (scripts/screenshot-open-with.sh starts Xvfb).
//   kavrel-open-with-shot FOLDER PATTERN ROW-NAME OUT.png
#include "results/result_list.h"
#include "results/result_menu.h"
#include "window_shot.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s FOLDER PATTERN ROW-NAME OUT.png\n", argv[0]);
        return 2;
    }
    shot::prepare(argv[1]);
    QApplication app(argc, argv);
    finder::TFindMainDlg window;
    shot::show(window, argv[2]);
    window.findChild<QPushButton*>("FindNowButton")->click();
    while (window.searchRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    auto* list = window.findChild<finder::ResultList*>("ResultList");
    QAbstractItemView* view = list->currentView();
    int row = 0;
    while (row < list->rowCount() && list->rowTexts(row)[0] != QString::fromLocal8Bit(argv[3]))
        ++row;
    if (row == list->rowCount()) {
        std::fprintf(stderr, "no row named %s\n", argv[3]);
        return 1;
    }
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->select(index,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QPoint at = view->viewport()->mapToGlobal(view->visualRect(index).center());
    const auto menu = finder::buildResultMenu(&window, {list->texts(row)});
    menu->popup(at);
    auto* openWith = menu->findChild<QMenu*>("OpenWithMenu");
    QTimer::singleShot(300, [&] {
        menu->setActiveAction(openWith->menuAction());
        openWith->popup(menu->mapToGlobal(menu->actionGeometry(openWith->menuAction()).topRight()));
    });
    return shot::saveScreenAfter(
        1200,
        [&] {
            return window.frameGeometry()
                .united(menu->geometry())
                .united(openWith->geometry())
                .adjusted(0, 0, 8, 8);
        },
        argv[4]);
}
