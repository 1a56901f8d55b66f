// Draws docs/results-map.png: the finder window after a search of a folder
// by an area, on its Geographic Area page: the footprints of the rows found,
// two rows selected and highlighted, the share of the area covered and the
// uncovered parts hatched. Run on an X server
// (scripts/screenshot-results-map.sh starts Xvfb).
//   kavrel-results-map-shot FOLDER WEST NORTH EAST SOUTH ROW-NAME ROW-NAME OUT.png
#include "map/results_map.h"
#include "map/selection_map.h"
#include "pages/criteria_pages.h"
#include "results/result_list.h"
#include "window_shot.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 9) {
        std::fprintf(stderr, "usage: %s FOLDER WEST NORTH EAST SOUTH ROW-NAME ROW-NAME OUT.png\n",
                     argv[0]);
        return 2;
    }
    shot::prepare(argv[1]);
    QApplication app(argc, argv);
    finder::TFindMainDlg window;
    shot::show(window);
    auto* pages = window.findChild<QTabWidget*>("FilterPages");
    pages->setCurrentIndex(finder::CriteriaPages::GeographicArea);
    const char* corners[] = {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"};
    for (int i = 0; i < 4; ++i)
        window.findChild<QLineEdit*>(corners[i])->setText(QString::fromLocal8Bit(argv[2 + i]));
    window.findChild<QPushButton*>("FindNowButton")->click();
    while (window.searchRunning() || !window.resultsMap()->settled())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    auto* list = window.findChild<finder::ResultList*>("ResultList");
    std::vector<std::uint64_t> chosen;
    for (int row = 0; row < list->rowCount(); ++row)
        for (int name : {6, 7})
            if (list->rowTexts(row)[0] == QString::fromLocal8Bit(argv[name]))
                chosen.push_back(list->rowId(row));
    if (chosen.size() != 2) {
        std::fprintf(stderr, "no rows named %s and %s\n", argv[6], argv[7]);
        return 1;
    }
    list->selectIds(chosen, false);
    window.resize(900, 560); // after the list has grown the window
    const double west = std::atof(argv[2]), north = std::atof(argv[3]);
    const double east = std::atof(argv[4]), south = std::atof(argv[5]);
    window.selectionMap()->zoomOnto({west, north, east, south});
    return shot::saveScreenAfter(
        800, [&] { return window.frameGeometry().adjusted(0, 0, 8, 8); }, argv[8]);
}
