// Footprints on a map, through the C++ interface: which ids lie under a
// pixel (overlapping ones, across the antimeridian, round a pole, one too
// small to see), what drawing them changes, the selection highlighted, gaps
// hatched and everything gone again when cleared.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <filesystem>

#include "strand32/map.h"
#include "temp_dir.h"

namespace {

using strand32::LonLatRing;
using strand32::MapFootprint;
using Ids = std::vector<std::uint64_t>;

const std::string kWorld = std::string(KAVREL_DATA_DIR) + "/world.tab";
const CoordSysKeys kMapKeys{"LAT-LONG", "LAT-LONG", "WGS84", "METERS"};

LonLatRing box(double west, double south, double east, double north) {
    return {{west, south}, {east, south}, {east, north}, {west, north}, {west, south}};
}

// Round the north pole at 75 N, longitudes written within -180 ... 180.
LonLatRing aroundThePole() {
    LonLatRing ring;
    for (int k = 0; k <= 36; ++k)
        ring.push_back({k == 36 ? -180.0 : -180.0 + 10 * k, 75});
    return ring;
}

class MapFootprints : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "map_footprints_test";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);
    }

    void SetUp() override {
        if (!std::filesystem::exists(kWorld))
            GTEST_SKIP() << "world.tab not built";
        parent_.resize(404, 224);
        map_ = std::make_unique<strand32::Map>(dir_ / "map.zvm", &parent_,
                                               MaporaRect{2, 2, 402, 222}, kMapKeys);
        LayerDescriptor world;
        ASSERT_TRUE(strand32::buildLayerDescriptor(kWorld, world));
        const auto layer = map_->addLayer(world, "world");
        ASSERT_TRUE(layer);
        map_->setLayerVisible(*layer, true);
        MapProperties props = map_->properties();
        props.showGraticule = 0;
        map_->setProperties(props);
    }

    MaporaPoint pixelOf(double lon, double lat) const {
        MaporaPoint pixel{};
        EXPECT_TRUE(map_->view().lonLatToPixel({lon, lat}, pixel));
        return pixel;
    }
    QImage drawn() {
        map_->redraw();
        return parent_.grab().toImage();
    }
    QRgb colourAt(const QImage& image, double lon, double lat) const {
        const MaporaPoint p = pixelOf(lon, lat);
        return image.pixel(static_cast<int>(p.x), static_cast<int>(p.y));
    }

    testsupport::TempDir dir_;
    QWidget parent_;
    std::unique_ptr<strand32::Map> map_;
};

TEST_F(MapFootprints, ids_under_a_pixel) {
    map_->setFootprints({{9, {box(-100, 30, -90, 50)}, false}}); // replaced below
    map_->setFootprints({
        {1, {box(0, 0, 40, 20)}, false},
        {2, {box(20, 10, 60, 30)}, true},
    });
    map_->addFootprints({
        {3, {{{170, -20}, {-170, -20}, {-170, -10}, {170, -10}, {170, -20}}}, false},
        {4, {aroundThePole()}, false},
        {5, {box(100, 50, 100.01, 50.01)}, false},
        {6, {box(-60, -50, -20, -10), box(-50, -40, -30, -20)}, false}, // with a hole
    });
    const struct {
        double lon, lat;
        Ids ids;
    } cases[] = {
        {10, 5, {1}},           {30, 15, {1, 2}}, {50, 25, {2}},  {-100, 40, {}}, {175, -15, {3}},
        {-175, -15, {3}},       {0, -15, {}},     {0, 85, {4}},   {120, 80, {4}}, {0, 60, {}},
        {100.005, 50.005, {5}}, {-55, -45, {6}},  {-40, -30, {}},
    };
    for (const auto& c : cases) {
        const MaporaPoint pixel = pixelOf(c.lon, c.lat);
        EXPECT_EQ(map_->footprintsAt(pixel), c.ids) << c.lon << " " << c.lat;
    }
    // A pixel and a half beside an outline still picks it; five do not.
    const MaporaPoint edge = pixelOf(40, 5);
    EXPECT_EQ(map_->footprintsAt({edge.x + 1.5, edge.y}), Ids{1});
    EXPECT_EQ(map_->footprintsAt({edge.x + 5, edge.y}), Ids{});
    map_->clearFootprints();
    EXPECT_EQ(map_->footprintsAt(pixelOf(10, 5)), Ids{});
}

TEST_F(MapFootprints, drawing_selection_gaps_and_clearing) {
    const QImage plain = drawn();
    map_->setFootprints({{1, {box(0, 0, 40, 20)}, false}, {2, {box(20, 10, 60, 30)}, true}});
    const QImage first = drawn();
    EXPECT_NE(colourAt(first, 10, 5), colourAt(plain, 10, 5));
    EXPECT_NE(colourAt(first, 50, 25), colourAt(plain, 50, 25));
    EXPECT_EQ(colourAt(first, -100, -40), colourAt(plain, -100, -40));
    // The selected footprint is drawn otherwise than the other one.
    map_->selectFootprints({1});
    const QImage swapped = drawn();
    EXPECT_NE(colourAt(swapped, 10, 5), colourAt(first, 10, 5));
    EXPECT_NE(colourAt(swapped, 50, 25), colourAt(first, 50, 25));

    // A gap is hatched: some of its pixels change, not all.
    map_->setGaps({{box(-120, -50, -60, -20)}});
    const QImage hatched = drawn();
    int changed = 0, total = 0;
    const MaporaPoint nw = pixelOf(-118, -22), se = pixelOf(-62, -48);
    for (int y = static_cast<int>(nw.y); y < static_cast<int>(se.y); ++y)
        for (int x = static_cast<int>(nw.x); x < static_cast<int>(se.x); ++x, ++total)
            changed += hatched.pixel(x, y) != plain.pixel(x, y);
    EXPECT_GT(changed, total / 20);
    EXPECT_LT(changed, total * 9 / 10);

    map_->clearFootprints();
    EXPECT_EQ(drawn(), plain);
}

} // namespace
