// A window search opens the files kavrel-find's search opens, and the map
// drawing its rows, their coverage and an export of their footprints open
// none of them again (no cache either time).
#include "window_fixture.h"

#include "../cli/kavrel_find_run.h"
#include "map/results_map.h"
#include "open_counter.h"
#include "pages/criteria_pages.h"
#include "results/result_list.h"
#include "sample_copy.h"
#include "temp_dir.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace windowtest {
namespace {

using WindowReadOnce = WindowTest;

TEST_F(WindowReadOnce, the_map_and_the_exports_open_no_file_beyond_what_the_search_opens) {
    testsupport::TempDir dir;
    const std::vector<std::string> folders =
        testsupport::copySampleFolders(dir, {"world", "europe", "rasters", "usa"});
    testsupport::OpenCounter counter(folders);
    const auto search = clitest::runKavrelFind({"--no-cache", "--look-in", dir / "tree", "--area",
                                                "-180", "90", "180", "-90", "--lat-lon"},
                                               dir);
    ASSERT_EQ(search.status, 0) << search.err;
    const std::map<std::string, int> bySearch = counter.take();
    for (const char* file : {"countries.shp", "europe_utm33.tif", "new_york_stateplane.shp"})
        EXPECT_GE(bySearch.count(file), 1u) << file;

    open();
    auto* useCache = control<QAction>("UseFootprintCache1");
    if (useCache->isChecked())
        useCache->trigger();
    control<QTabWidget>("FilterPages")->setCurrentIndex(finder::CriteriaPages::GeographicArea);
    const char* corners[] = {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"};
    const char* world[] = {"-180", "90", "180", "-90"};
    for (int i = 0; i < 4; ++i)
        control<QLineEdit>(corners[i])->setText(world[i]);
    pickedFolder = QString::fromStdString(dir / "tree");
    control<QPushButton>("BrowseButton")->click();
    control<QPushButton>("FindNowButton")->click();
    ASSERT_TRUE(waitForSearch());
    // The window's search opens the files kavrel-find opens (how often depends
    // on which reader thread first meets a .prj text), and no others.
    for (const auto& opened : counter.take())
        EXPECT_EQ(bySearch.count(opened.first), 1u) << opened.first;
    QElapsedTimer clock;
    clock.start();
    while (!window->resultsMap()->settled() && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(window->resultsMap()->coveredShare());
    EXPECT_GT(window->resultsMap()->drawnCount(), 5);
    window->setFootprintsPicker([&](QWidget*, const QString&, const QStringList&) {
        return QString::fromStdString(dir / "f.gpkg");
    });
    control<QAction>("ExportFootprints1")->trigger();
    // The map, its coverage and the export open nothing the search read.
    EXPECT_EQ(counter.take(), (std::map<std::string, int>{}));
}

} // namespace
} // namespace windowtest
