// The found rows on the Geographic Area page's map, in the real window:
// footprints drawn as rows arrive (rows without an extent counted, not
// drawn), clicks and Ctrl+clicks on the map selecting rows, overlapping
// footprints, the tooltip, the list's selection highlighted on the map,
// Show on Map, New Search, the coverage of the area with its gaps, and a
// saved search's rows read once.
#include "window_fixture.h"

#include "box_shapefile.h"
#include "finder/export/coverage_export.h"
#include "geodesic_area.h"
#include "map/results_map.h"
#include "map/selection_map.h"
#include "pages/criteria_pages.h"
#include "results/result_list.h"
#include "temp_dir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace windowtest {
namespace {

using finder::ResultsMap;
using testsupport::TempDir;
using Names = std::set<std::string>;

struct Box {
    const char* name;
    double west, south, east, north;
};
// Two far apart, two overlapping (around 27 E 45 N).
const Box kBoxes[] = {{"europe.shp", 5, 45, 15, 55},
                      {"australia.shp", 130, -30, 140, -20},
                      {"a.shp", 20, 40, 30, 50},
                      {"b.shp", 25, 42, 35, 48}};

double geodesicArea(double west, double south, double east, double north) {
    return testsupport::geodesicArea(testsupport::LonLatBox{west, south, east, north});
}

class ResultsOnMap : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (const Box& b : kBoxes)
            ASSERT_TRUE(testsupport::writeBoxShapefile(
                tree.str(), std::filesystem::path(b.name).stem().string(),
                {b.west, b.south, b.east, b.north}));
        tree.writeFile("broken.shp", "not a shapefile: no extent");
    }
    ResultsMap* onMap() { return window->resultsMap(); }
    finder::SelectionMap* selection() { return window->selectionMap(); }
    finder::ResultList* list() { return control<finder::ResultList>("ResultList"); }
    QFrame* panel() { return control<QFrame>("SelectionMap"); }

    // Every file of the tree (or those inside the area), the map settled.
    void search(const QStringList& area = {}) {
        pickedFolder = QString::fromStdString(tree.str());
        control<QPushButton>("BrowseButton")->click();
        control<QComboBox>("NameComboBox")->setEditText("*.shp");
        control<QTabWidget>("FilterPages")->setCurrentIndex(finder::CriteriaPages::GeographicArea);
        const char* corners[] = {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"};
        for (int i = 0; i < area.size(); ++i)
            control<QLineEdit>(corners[i])->setText(area[i]);
        control<QPushButton>("FindNowButton")->click();
        ASSERT_TRUE(waitForSearch());
        ASSERT_TRUE(waitForMap());
    }
    bool waitForMap() {
        QElapsedTimer clock;
        clock.start();
        while (!onMap()->settled() && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        return onMap()->settled();
    }
    QPoint pixel(double lon, double lat) { return selection()->pixelOf({lon, lat})->toPoint(); }
    void mouse(QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, panel()->mapToGlobal(at), button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, keys);
        QCoreApplication::sendEvent(panel(), &event);
    }
    void click(double lon, double lat, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        mouse(QEvent::MouseButtonPress, pixel(lon, lat), keys);
        mouse(QEvent::MouseButtonRelease, pixel(lon, lat), keys);
    }
    Names selectedNames() {
        Names names;
        for (int row : list()->selectedRows())
            names.insert(list()->texts(row).name);
        return names;
    }
    void selectNames(const Names& names) {
        std::vector<std::uint64_t> ids;
        for (int row = 0; row < list()->rowCount(); ++row)
            if (names.count(list()->texts(row).name))
                ids.push_back(list()->rowId(row));
        list()->selectIds(ids, false);
    }
    QString figure(const char* name) {
        auto* label = control<QLabel>(name);
        return label->isHidden() ? QString() : label->text();
    }
    QStringList corners() {
        QStringList texts;
        for (const char* name : {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"})
            texts << control<QLineEdit>(name)->text();
        return texts;
    }
    // The map's pixels round a place, as the screen shows them.
    std::vector<QColor> colours(double lon, double lat, int radius = 0) {
        QCoreApplication::processEvents();
        const QImage image = panel()->grab().toImage();
        const QPoint at = pixel(lon, lat) * image.devicePixelRatio();
        std::vector<QColor> found;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                found.push_back(image.pixelColor(at + QPoint(dx, dy)));
        return found;
    }
    bool highlighted(double lon, double lat) {
        const QColor c = colours(lon, lat).front();
        return c.blue() > c.red(); // the selected fill is blue, the others orange
    }

    TempDir tree;
};

TEST_F(ResultsOnMap, footprints_of_rows_with_an_extent_are_drawn_and_the_others_counted) {
    open();
    EXPECT_EQ(figure("FootprintCount"), QString());
    search();
    EXPECT_EQ(list()->rowCount(), 5);
    EXPECT_EQ(figure("FootprintCount"), "4 of 5 files on the map");
    EXPECT_EQ(figure("AreaCovered"), QString()); // no area searched
    for (const Box& b : kBoxes)
        EXPECT_FALSE(
            onMap()->tipAt(pixel((b.west + b.east) / 2, (b.south + b.north) / 2)).isEmpty())
            << b.name;
    EXPECT_EQ(finder::onMapText(12, 14), "12 of 14 files on the map");
}

TEST_F(ResultsOnMap, clicks_on_footprints_select_their_rows_and_ctrl_clicks_add_or_remove) {
    struct Click {
        double lon, lat;
        bool ctrl;
    };
    struct Case {
        const char* what;
        std::vector<Click> clicks;
        Names selected;
    } cases[] = {
        {"one footprint", {{10, 50, false}}, {"europe.shp"}},
        {"two overlapping ones", {{27, 45, false}}, {"a.shp", "b.shp"}},
        {"a click replaces", {{27, 45, false}, {10, 50, false}}, {"europe.shp"}},
        {"Ctrl adds", {{10, 50, false}, {135, -25, true}}, {"europe.shp", "australia.shp"}},
        {"Ctrl removes", {{10, 50, false}, {135, -25, true}, {10, 50, true}}, {"australia.shp"}},
        {"Ctrl on an overlap partly selected adds both",
         {{21, 41, false}, {27, 45, true}},
         {"a.shp", "b.shp"}},
        {"Ctrl on an overlap wholly selected removes both",
         {{27, 45, false}, {10, 50, true}, {27, 45, true}},
         {"europe.shp"}},
        {"a click on no footprint keeps the selection",
         {{10, 50, false}, {-30, 0, false}},
         {"europe.shp"}},
    };
    open();
    search();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list()->selectIds({}, false);
        window->ResetSearchForm(); // empty corners, the first view
        for (const Click& k : c.clicks)
            click(k.lon, k.lat, k.ctrl ? Qt::ControlModifier : Qt::NoModifier);
        EXPECT_EQ(selectedNames(), c.selected);
        // A click on footprints leaves the corners and the view as they were.
        if (onMap()->tipAt(pixel(c.clicks.back().lon, c.clicks.back().lat)).isEmpty())
            EXPECT_NE(corners()[0], QString());
        else
            EXPECT_EQ(corners(), (QStringList{"", "", "", ""}));
        EXPECT_FALSE(selection()->dragActive());
        EXPECT_DOUBLE_EQ(selection()->map()->view().scale(), selection()->initialViewScale());
    }
    // A drag over footprints still sets the area.
    window->ResetSearchForm();
    mouse(QEvent::MouseButtonPress, pixel(8, 53));
    QMouseEvent move(QEvent::MouseMove, pixel(28, 44), panel()->mapToGlobal(pixel(28, 44)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel(), &move);
    mouse(QEvent::MouseButtonRelease, pixel(28, 44));
    EXPECT_NE(corners()[0], corners()[2]);
    EXPECT_LT(selection()->map()->view().scale(), selection()->initialViewScale());
}

TEST_F(ResultsOnMap, the_selection_is_highlighted_both_ways_and_the_tooltip_names_the_files) {
    open();
    search();
    EXPECT_FALSE(highlighted(10, 50));
    selectNames({"europe.shp"});
    EXPECT_TRUE(highlighted(10, 50));
    EXPECT_FALSE(highlighted(135, -25));
    click(135, -25);
    EXPECT_FALSE(highlighted(10, 50));
    EXPECT_TRUE(highlighted(135, -25));

    struct Case {
        double lon, lat;
        Names names; // of the tooltip's lines
    } cases[] = {
        {27, 45, {"a.shp", "b.shp"}},
        {21, 41, {"a.shp"}},
        {-30, 0, {}},
    };
    for (const Case& c : cases) {
        mouse(QEvent::MouseMove, pixel(c.lon, c.lat));
        const QString tip = onMap()->tipAt(pixel(c.lon, c.lat));
        Names lines;
        for (const QString& line : tip.split('\n', Qt::SkipEmptyParts))
            lines.insert(line.toStdString());
        EXPECT_EQ(lines, c.names) << c.lon;
        // A tooltip goes a moment after the mouse leaves its footprints.
        QElapsedTimer clock;
        clock.start();
        while (tip.isEmpty() && QToolTip::isVisible() && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), tip) << c.lon;
    }
}

TEST_F(ResultsOnMap, show_on_map_shows_the_page_and_zooms_onto_the_selected_rows) {
    open();
    search();
    control<QTabWidget>("FilterPages")->setCurrentIndex(finder::CriteriaPages::GeographicArea);
    control<QCheckBox>("Geodetic")->click(); // the corner boxes instead of the map
    control<QTabWidget>("FilterPages")->setCurrentIndex(finder::CriteriaPages::NameLocation);
    selectNames({"broken.shp"});
    EXPECT_FALSE(onMap()->selectionOnMap()); // the popup's item is disabled then

    selectNames({"europe.shp", "australia.shp"});
    EXPECT_TRUE(onMap()->selectionOnMap());
    window->ShowOnMap1Click();
    EXPECT_EQ(control<QTabWidget>("FilterPages")->currentIndex(),
              finder::CriteriaPages::GeographicArea);
    EXPECT_FALSE(panel()->isHidden());
    const MaporaExtent view = selection()->map()->view().area();
    EXPECT_LE(view.west, 5);
    EXPECT_GE(view.east, 140);
    EXPECT_LE(view.south, -30);
    EXPECT_GE(view.north, 55);
    // Onto them, not the world: one side of the view fits them closely.
    EXPECT_TRUE(view.east - view.west < 1.2 * (140 - 5) || view.north - view.south < 1.2 * 85);
    EXPECT_EQ(selection()->zoomScale(), selection()->map()->view().scale());

    selectNames({"b.shp"});
    window->ShowOnMap1Click();
    const MaporaExtent near = selection()->map()->view().area();
    EXPECT_LE(near.west, 25);
    EXPECT_GE(near.east, 35);
    EXPECT_LT(near.east - near.west, 20);
}

TEST_F(ResultsOnMap, new_search_clears_the_map_find_now_starts_it_anew_and_stop_keeps_it) {
    open();
    search({"0", "60", "40", "40"});
    ASSERT_EQ(onMap()->drawnCount(), 3);
    ASSERT_TRUE(onMap()->coveredShare());
    answer = platform::IDOK;
    control<QPushButton>("NewSearchButton")->click();
    EXPECT_EQ(onMap()->drawnCount(), 0);
    EXPECT_EQ(onMap()->rowCount(), 0);
    EXPECT_EQ(figure("FootprintCount"), QString());
    EXPECT_EQ(figure("AreaCovered"), QString());
    EXPECT_TRUE(onMap()->tipAt(pixel(10, 50)).isEmpty());

    search();
    EXPECT_EQ(figure("FootprintCount"), "4 of 5 files on the map");
    EXPECT_FALSE(onMap()->coveredShare());

    // Stop keeps what was found: every row found is counted, and drawn.
    control<QPushButton>("FindNowButton")->click();
    control<QPushButton>("StopButton")->click();
    ASSERT_TRUE(waitForSearch());
    ASSERT_TRUE(waitForMap());
    EXPECT_EQ(onMap()->rowCount(), list()->rowCount());
    EXPECT_GE(onMap()->drawnCount(), list()->rowCount() - 1); // broken.shp has no extent
    EXPECT_LE(onMap()->drawnCount(), list()->rowCount());
}

TEST_F(ResultsOnMap, the_area_covered_is_measured_on_the_ellipsoid_and_its_gaps_hatched) {
    open();
    search({"0", "60", "40", "40"}); // europe, a and b lie inside
    // a and b overlap in 25 ... 30 E, 42 ... 48 N.
    const double covered = geodesicArea(5, 45, 15, 55) + geodesicArea(20, 40, 30, 50) +
                           geodesicArea(25, 42, 35, 48) - geodesicArea(25, 42, 30, 48);
    const double share = covered / geodesicArea(0, 40, 40, 60);
    ASSERT_TRUE(onMap()->coveredShare());
    EXPECT_NEAR(*onMap()->coveredShare(), share, 1e-4);
    EXPECT_EQ(figure("AreaCovered"),
              QString("Area covered: %1%").arg(finder::coveredPercent(share)));
    EXPECT_EQ(figure("FootprintCount"), "3 of 3 files on the map");

    // Hatching (red lines, under the area's outline) shows in the uncovered
    // part of the area only.
    const auto hatched = [this](double lon, double lat) {
        const std::vector<QColor> block = colours(lon, lat, 4);
        return std::any_of(block.begin(), block.end(), [](const QColor& c) {
            return c.red() > 180 && c.green() < 60 && c.blue() < 60;
        });
    };
    selection()->zoomOnto({-5, 65, 45, 35});
    EXPECT_TRUE(hatched(2, 58));
    EXPECT_TRUE(hatched(37, 45));
    EXPECT_FALSE(hatched(10, 50));
    EXPECT_FALSE(hatched(27, 45));
    EXPECT_FALSE(hatched(-3, 50)); // outside the area
}

TEST_F(ResultsOnMap, a_saved_searchs_rows_are_read_once_and_drawn) {
    open();
    search({"0", "60", "40", "40"});
    const std::optional<double> share = onMap()->coveredShare();
    window->findChild<QAction*>("SaveResults1")->trigger();
    const std::string path = tree / "search.wqs";
    ASSERT_TRUE(window->writeSavedSearch(path));

    commandLine = path;
    open();
    ASSERT_TRUE(waitForMap());
    EXPECT_EQ(list()->rowCount(), 3);
    EXPECT_EQ(figure("FootprintCount"), "3 of 3 files on the map");
    EXPECT_EQ(onMap()->coveredShare(), share);
    // The facts read are the rows' own now: exports read no file again.
    for (int row = 0; row < list()->rowCount(); ++row)
        EXPECT_TRUE(list()->exportRow(row).facts) << list()->texts(row).name;
}

} // namespace
} // namespace windowtest
