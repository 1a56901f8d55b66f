// The selection map in the real window: dragging an area, the read-out, the
// zoom menu and the wheel, New Search, the map following its panel, and a
// search by a dragged area.
#include "window_fixture.h"

#include "map/selection_map.h"
#include "pages/area_page.h"
#include "results/result_list.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QWheelEvent>
#include <algorithm>
#include <array>

namespace windowtest {
namespace {

using finder::SelectionMap;

class WindowMap : public WindowTest {
protected:
    SelectionMap* map() { return window->selectionMap(); }
    QFrame* panel() { return control<QFrame>("SelectionMap"); }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(type, at, panel()->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(panel(), &event);
    }
    void drag(QPoint from, QPoint to) {
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, (from + to) / 2);
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to);
    }
    QStringList corners() {
        QStringList texts;
        for (const char* name : {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"})
            texts << control<QLineEdit>(name)->text();
        return texts;
    }
    double scale() { return map()->map()->view().scale(); }
    MaporaPoint center() { return map()->map()->view().center(); }
};

TEST_F(WindowMap, a_drag_either_way_sets_the_same_corners_and_zooms_onto_them) {
    open();
    ASSERT_NE(map()->map(), nullptr);
    const QPoint nw(60, 40), se(150, 90);
    drag(nw, se);
    const QStringList forward = corners();
    EXPECT_LT(forward[0].toDouble(), forward[2].toDouble()); // west < east
    EXPECT_GT(forward[1].toDouble(), forward[3].toDouble()); // north > south
    EXPECT_FALSE(map()->dragActive());
    EXPECT_LT(scale(), map()->initialViewScale());
    EXPECT_EQ(map()->zoomScale(), scale());

    window->ResetSearchForm();
    EXPECT_DOUBLE_EQ(scale(), map()->initialViewScale());
    drag(se, nw);
    EXPECT_EQ(corners(), forward);

    // The read-out shows latitude first, to two decimals.
    window->ResetSearchForm();
    const auto under = map()->pointOf(QPoint(100, 60));
    ASSERT_TRUE(under);
    mouse(QEvent::MouseMove, QPoint(100, 60));
    EXPECT_EQ(control<QLabel>("GeoCoords")->text(),
              QString::asprintf("%.2f, %.2f", under->y, under->x));
}

TEST_F(WindowMap, releases_outside_the_panel_and_drags_without_size) {
    open();
    const double first = scale();
    // Pressed pixels are clamped into the panel; the release is not.
    const QPoint outside(panel()->width() + 40, panel()->height() + 30);
    const auto cornerPoint = map()->pointOf(QPoint(2, 2));
    const auto releasePoint = map()->pointOf(outside);
    ASSERT_TRUE(cornerPoint && releasePoint);
    drag(QPoint(-20, -20), outside);
    const QStringList texts = corners();
    EXPECT_EQ(texts[0], QString::asprintf("%.4f", cornerPoint->x));
    EXPECT_EQ(texts[2], QString::asprintf("%.4f", releasePoint->x));
    window->ResetSearchForm();
    EXPECT_GT(texts[2].toDouble(), map()->map()->view().area().east);

    // A click sets all four corners to its point and leaves the view alone.
    drag(QPoint(80, 50), QPoint(80, 50));
    EXPECT_DOUBLE_EQ(scale(), first);
    EXPECT_EQ(corners()[0], corners()[2]);
    EXPECT_FALSE(map()->dragActive());
}

TEST_F(WindowMap, zoom_items_and_the_wheel_zoom_around_their_point) {
    open();
    const double first = scale();
    const QPoint at(70, 50);
    const auto point = map()->pointOf(at);
    ASSERT_TRUE(point);
    mouse(QEvent::MouseButtonRelease, at, Qt::RightButton);
    EXPECT_TRUE(control<QWidget>("MapZoom")->isVisible());
    control<QAction>("ZoomIn")->trigger();
    EXPECT_DOUBLE_EQ(scale(), first * 0.5);
    EXPECT_NEAR(center().x, point->x, 1e-9);
    EXPECT_NEAR(center().y, point->y, 1e-9);
    control<QAction>("ZoomOut")->trigger();
    EXPECT_DOUBLE_EQ(scale(), first * 0.75);

    // The wheel keeps the point under the cursor where it is.
    control<QWidget>("MapZoom")->hide();
    const auto before = map()->pointOf(at);
    QWheelEvent wheel(at, panel()->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(panel(), &wheel);
    EXPECT_LT(scale(), first * 0.75);
    const auto after = map()->pointOf(at);
    EXPECT_NEAR(after->x, before->x, 1e-6);
    EXPECT_NEAR(after->y, before->y, 1e-6);

    // New Search: the first view again, the last zoom kept for a saved search.
    const double zoomScale = map()->zoomScale();
    answer = platform::IDOK;
    control<QPushButton>("NewSearchButton")->click();
    EXPECT_DOUBLE_EQ(scale(), first);
    EXPECT_DOUBLE_EQ(map()->zoomScale(), zoomScale);
}

TEST_F(WindowMap, panel_corners_are_the_view_areas_edges_at_every_size_and_zoom) {
    open();
    for (const QSize size : {QSize(700, 420), QSize(1100, 700)}) {
        window->resize(size);
        QCoreApplication::processEvents();
        for (double factor : {1.0, 0.25}) {
            map()->ZoomMapBy(factor);
            const MaporaExtent area = map()->map()->view().area();
            const QRect r = map()->mapRect();
            const auto topLeft = map()->pointOf(r.topLeft());
            const auto bottomRight = map()->pointOf(r.bottomRight() + QPoint(1, 1));
            const double pixel = (area.east - area.west) / r.width();
            EXPECT_NEAR(topLeft->x, area.west, pixel) << size.width();
            EXPECT_NEAR(topLeft->y, area.north, pixel) << size.width();
            EXPECT_NEAR(bottomRight->x, area.east, pixel) << size.width();
            EXPECT_NEAR(bottomRight->y, area.south, pixel) << size.width();
            const auto back = map()->pixelOf(*topLeft);
            EXPECT_NEAR(back->x(), r.left(), 1e-6);
        }
    }
}

TEST_F(WindowMap, without_a_map_every_handler_does_nothing) {
    std::string hive = systemHive();
    hive.replace(hive.find(KAVREL_DATA_DIR), std::string(KAVREL_DATA_DIR).size(), "/nonexistent");
    open(hive);
    ASSERT_EQ(map()->map(), nullptr);
    drag(QPoint(60, 40), QPoint(150, 90));
    mouse(QEvent::MouseButtonRelease, QPoint(60, 40), Qt::RightButton);
    map()->ZoomInClick();
    window->ResetSearchForm();
    window->resize(900, 500);
    EXPECT_EQ(corners(), (QStringList{"", "", "", ""}));
    EXPECT_FALSE(control<QWidget>("MapZoom")->isVisible());
}

TEST_F(WindowMap, a_dragged_area_finds_what_the_same_typed_corners_find) {
    open();
    const auto names = [this] {
        auto* results = control<finder::ResultList>("ResultList");
        QStringList found;
        for (int r = 0; r < results->rowCount(); ++r)
            found << results->rowTexts(r)[0];
        found.sort();
        return found;
    };
    const auto search = [this] {
        pickedFolder = QString::fromStdString(std::string(KAVREL_DATA_DIR) + "/samples");
        control<QPushButton>("BrowseButton")->click();
        control<QPushButton>("FindNowButton")->click();
        ASSERT_TRUE(waitForSearch());
    };
    // Roughly Europe.
    drag(map()->pixelOf({-40, 75})->toPoint(), map()->pixelOf({70, 30})->toPoint());
    const QStringList dragged = corners();
    search();
    const QStringList byMap = names();
    EXPECT_FALSE(byMap.isEmpty());
    control<QCheckBox>("Geodetic")->click(); // the corner boxes, typed
    for (int i = 0; i < 4; ++i)
        control<QLineEdit>(std::array{"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"}[i])
            ->setText(dragged[i]);
    search();
    EXPECT_EQ(names(), byMap);
}

} // namespace
} // namespace windowtest
