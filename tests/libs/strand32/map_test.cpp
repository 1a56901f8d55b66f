// Maps drawn offscreen into a Qt widget: the world map's countries, the
// pixel/longitude-latitude conversion at several scales, view changes,
// properties, the document files and failures on bad handles.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "gis_writer.h"
#include "strand32/mapora.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

const std::string kDatabase = std::string(KAVREL_DATA_DIR) + "/datora.dat";
const std::string kWorld = std::string(KAVREL_DATA_DIR) + "/world.tab";
const CoordSysKeys kMapKeys{"LAT-LONG", "LAT-LONG", "WGS84", "METERS"};

class MapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "map_test";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);
    }

    void SetUp() override {
        if (!fs::exists(kDatabase) || !fs::exists(kWorld))
            GTEST_SKIP() << "datora.dat and world.tab not built";
        ASSERT_EQ(Mapora_Init(kDatabase.c_str()), 0);
        parent_ = std::make_unique<QWidget>();
        parent_->resize(404, 224);
        map_ = Mapora_MapCreate((dir_ / "~Ridizeda.zvm").c_str(), parent_.get(), &rect_, 1, nullptr,
                                &kMapKeys);
        ASSERT_NE(map_, 0u);
        LayerDescriptor world;
        ASSERT_TRUE(strand32::buildLayerDescriptor(kWorld, world));
        layer_ = Mapora_LayerConnect(map_, world.layerType, 0, world.fileName, world.companion[0],
                                     world.companion[1], world.companion[2], "Search Area", 0,
                                     &kMapKeys);
        ASSERT_GE(layer_, 0);
        ASSERT_NE(Mapora_LayerSetVisible(map_, layer_, 1), 0);
    }

    void TearDown() override {
        if (map_)
            Mapora_MapClose(map_);
        Mapora_Shutdown();
    }

    MaporaPoint toLonLat(double x, double y) const {
        const MaporaPoint in{x, y};
        MaporaPoint out{NAN, NAN};
        EXPECT_NE(Mapora_MapConvertCoordinates(map_, &in, &out, MAPORA_PIXEL_TO_LONLAT), 0);
        return out;
    }

    // The parent window drawn; the map covers rect_.
    QImage drawn() const {
        Mapora_MapRedraw(map_, 0);
        return parent_->grab().toImage();
    }

    TempDir dir_;
    MaporaRect rect_{2, 2, 402, 222};
    std::unique_ptr<QWidget> parent_;
    MaporaMap map_ = 0;
    std::int32_t layer_ = -1;
};

} // namespace

TEST_F(MapTest, world_map_shows_land_and_sea) {
    MaporaPoint center{};
    double scale = 0;
    ASSERT_NE(Mapora_MapGetViewCenter(map_, &center), 0);
    ASSERT_NE(Mapora_MapGetViewScale(map_, &scale), 0);
    EXPECT_NEAR(center.x, 0.0, 1e-6); // the whole world, centred
    EXPECT_NEAR(scale, 360.0, 1e-6);

    // As the finder does: no graticule, no frame.
    MapProperties props{};
    ASSERT_NE(Mapora_MapGetProperties(map_, &props), 0);
    props.showGraticule = 0;
    props.showFrame = 0;
    ASSERT_NE(Mapora_MapSetProperties(map_, &props), 0);
    const QImage image = drawn();
    const fs::path out = fs::path(KAVREL_BUILD_DIR) / "test-output";
    fs::create_directories(out);
    ASSERT_TRUE(image.save(QString::fromStdString((out / "world_map.png").string())));
    // Pixel of a longitude/latitude, by the inverse of the conversion.
    MaporaExtent area{};
    ASSERT_NE(Mapora_MapGetViewArea(map_, &area), 0);
    auto colourAt = [&](double lon, double lat) {
        const double px = rect_.left + (lon - area.west) / (area.east - area.west) * 400;
        const double py = rect_.top + (area.north - lat) / (area.north - area.south) * 220;
        return image.pixelColor(static_cast<int>(px), static_cast<int>(py)).rgb() & 0xffffff;
    };
    const struct {
        const char* place;
        double lon, lat;
        bool land;
    } places[] = {
        {"Sahara", 2, 28, true},       {"Siberia", 100, 62, true}, {"Brazil", -52, -10, true},
        {"Australia", 134, -25, true}, {"Canada", -100, 56, true}, {"Pacific", -140, 0, false},
        {"Atlantic", -35, 30, false},  {"Indian", 80, -30, false},
    };
    for (const auto& p : places)
        EXPECT_EQ(colourAt(p.lon, p.lat), p.land ? props.landRgb : props.backgroundRgb) << p.place;
}

TEST_F(MapTest, pixel_conversion_round_trips_at_every_scale) {
    const double scales[] = {360.0, 90.0, 7.5, 0.25, 1e-4};
    constexpr double kTolerance = 1e-9; // degrees
    const MaporaPoint centres[] = {{0, 0}, {-73.98, 40.75}, {151.2, -33.9}};
    for (const double scale : scales) {
        for (const MaporaPoint& c : centres) {
            ASSERT_NE(Mapora_MapSetViewCenter(map_, &c), 0);
            ASSERT_NE(Mapora_MapSetViewScale(map_, scale), 0);
            // The middle of the drawing rectangle is the centre.
            const MaporaPoint mid = toLonLat(202, 112);
            EXPECT_NEAR(mid.x, c.x, kTolerance);
            EXPECT_NEAR(mid.y, c.y, kTolerance);
            // Recentring on a converted pixel moves that pixel to the middle.
            const MaporaPoint corner = toLonLat(30, 200);
            ASSERT_NE(Mapora_MapSetViewCenter(map_, &corner), 0);
            const MaporaPoint back = toLonLat(202, 112);
            EXPECT_NEAR(back.x, corner.x, kTolerance);
            EXPECT_NEAR(back.y, corner.y, kTolerance);
            // The view area spans `scale` degrees across the rectangle, with
            // square pixels, and its corners are the rectangle's corners.
            MaporaExtent area{};
            ASSERT_NE(Mapora_MapGetViewArea(map_, &area), 0);
            EXPECT_NEAR(area.east - area.west, scale, kTolerance);
            EXPECT_NEAR(area.north - area.south, scale * 220 / 400, kTolerance);
            const MaporaPoint nw = toLonLat(rect_.left, rect_.top);
            EXPECT_NEAR(nw.x, area.west, kTolerance);
            EXPECT_NEAR(nw.y, area.north, kTolerance);
            // Right and down increase longitude and decrease latitude.
            const MaporaPoint here = toLonLat(30, 200);
            const MaporaPoint step = toLonLat(31, 201);
            EXPECT_NEAR(step.x - here.x, scale / 400, kTolerance);
            EXPECT_NEAR(step.y - here.y, -scale / 400, kTolerance);
        }
    }
}

TEST_F(MapTest, resize_keeps_scale_and_centre) {
    const MaporaPoint c{10, 20};
    Mapora_MapSetViewCenter(map_, &c);
    Mapora_MapSetViewScale(map_, 40);
    const MaporaRect bigger{10, 10, 810, 410};
    ASSERT_NE(Mapora_MapSize(map_, &bigger), 0);
    MaporaExtent area{};
    ASSERT_NE(Mapora_MapGetViewArea(map_, &area), 0);
    EXPECT_NEAR(area.east - area.west, 40, 1e-9);
    EXPECT_NEAR(area.north - area.south, 20, 1e-9);
    const MaporaPoint mid = toLonLat(410, 210);
    EXPECT_NEAR(mid.x, 10, 1e-9);
    EXPECT_NEAR(mid.y, 20, 1e-9);
}

TEST_F(MapTest, unusable_scales_are_refused) {
    ASSERT_NE(Mapora_MapSetViewScale(map_, 12.5), 0);
    for (const double bad : {0.0, -1.0, double(NAN), double(INFINITY), 1e9})
        EXPECT_EQ(Mapora_MapSetViewScale(map_, bad), 0) << bad;
    double scale = 0;
    ASSERT_NE(Mapora_MapGetViewScale(map_, &scale), 0);
    EXPECT_EQ(scale, 12.5);
    const MaporaPoint nowhere{NAN, 0};
    EXPECT_EQ(Mapora_MapSetViewCenter(map_, &nowhere), 0);
}

TEST_F(MapTest, properties_change_the_drawing) {
    MapProperties props{};
    ASSERT_NE(Mapora_MapGetProperties(map_, &props), 0);
    ASSERT_NE(props.showFrame, 0);
    const QImage framed = drawn();
    std::uint16_t off = 0;
    std::memcpy(reinterpret_cast<char*>(&props) + 832, &off, 2);
    std::memcpy(reinterpret_cast<char*>(&props) + 1050, &off, 2);
    props.backgroundRgb = 0x102030;
    ASSERT_NE(Mapora_MapSetProperties(map_, &props), 0);
    MapProperties again{};
    ASSERT_NE(Mapora_MapGetProperties(map_, &again), 0);
    EXPECT_EQ(std::memcmp(&props, &again, sizeof props), 0);
    const QImage plain = drawn();
    // The frame's corner pixel is gone; the sea has the new colour.
    EXPECT_NE(framed.pixelColor(rect_.left, rect_.top), plain.pixelColor(rect_.left, rect_.top));
    const MaporaPoint pacific{-140, 0};
    Mapora_MapSetViewCenter(map_, &pacific);
    EXPECT_EQ(drawn().pixelColor(202, 112).rgb() & 0xffffff, 0x102030u);
}

TEST_F(MapTest, document_files_beside_the_map) {
    for (const char* ext : {".zvm", ".md1", ".md2", ".md3"})
        EXPECT_TRUE(fs::exists(dir_ / (std::string("~Ridizeda") + ext))) << ext;
    EXPECT_EQ(fs::file_size(dir_ / "~Ridizeda.md3"), sizeof(MapProperties));
    EXPECT_NE(TempDir::readFile(dir_ / "~Ridizeda.md1").find("Search Area"), std::string::npos);
}

TEST_F(MapTest, bad_handles_and_layers_fail_quietly) {
    MaporaPoint p{};
    double d = 0;
    MaporaExtent e{};
    MapProperties props{};
    for (const MaporaMap bad : {0u, map_ + 1000u}) {
        EXPECT_EQ(Mapora_MapGetViewCenter(bad, &p), 0);
        EXPECT_EQ(Mapora_MapGetViewScale(bad, &d), 0);
        EXPECT_EQ(Mapora_MapGetViewArea(bad, &e), 0);
        EXPECT_EQ(Mapora_MapGetProperties(bad, &props), 0);
        EXPECT_EQ(Mapora_MapRedraw(bad, 0), 0);
        EXPECT_EQ(Mapora_MapClose(bad), 0);
    }
    EXPECT_EQ(Mapora_MapConvertCoordinates(map_, &p, &p, 3), 0); // only mode 4
    EXPECT_EQ(Mapora_LayerSetVisible(map_, layer_ + 1, 1), 0);
    TempDir dir;
    dir.writeFile("broken.tab", "not a table");
    const std::string broken = dir / "broken.tab";
    EXPECT_LT(Mapora_LayerConnect(map_, 20480, 0, broken.c_str(), "", "", "wr512pqtzvbe648m", "x",
                                  0, &kMapKeys),
              0);
    EXPECT_LT(
        Mapora_LayerConnect(map_, 16, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr),
        0);
    // A parent destroyed before the map takes the map's widget with it.
    parent_.reset();
    EXPECT_NE(Mapora_MapRedraw(map_, 0), 0);
    EXPECT_NE(Mapora_MapClose(map_), 0);
    EXPECT_EQ(Mapora_MapClose(map_), 0);
    map_ = 0;
}

TEST_F(MapTest, failed_map_calls_say_why) {
    const std::string broken = dir_.writeFile("broken.tab", "not a table");
    MaporaPoint p{};
    const struct {
        const char* name;
        std::function<bool()> fails; // the call, true when it failed
        const char* mentions;
    } cases[] = {
        {"unknown map", [&] { return Mapora_MapGetViewCenter(map_ + 1000, &p) == 0; }, "no map"},
        {"unknown mode", [&] { return Mapora_MapConvertCoordinates(map_, &p, &p, 3) == 0; },
         "mode 3"},
        {"unknown layer", [&] { return Mapora_LayerSetVisible(map_, layer_ + 1, 1) == 0; },
         "no layer"},
        {"unusable scale", [&] { return Mapora_MapSetViewScale(map_, -1) == 0; }, "scale"},
        {"damaged layer",
         [&] {
             return Mapora_LayerConnect(map_, 20480, 0, broken.c_str(), "", "", "", "x", 0,
                                        nullptr) < 0;
         },
         "broken.tab"},
    };
    char text[512];
    for (const auto& c : cases) {
        ASSERT_TRUE(c.fails()) << c.name;
        EXPECT_GT(Mapora_LastErrorText(text, sizeof text), 0) << c.name;
        EXPECT_NE(std::string(text).find(c.mentions), std::string::npos) << c.name << ": " << text;
        ASSERT_NE(Mapora_MapRedraw(map_, 0), 0);
        EXPECT_EQ(Mapora_LastErrorText(text, sizeof text), 0) << c.name << ": " << text;
    }
    Mapora_Shutdown();
    map_ = 0;
    QWidget parent;
    EXPECT_EQ(Mapora_MapCreate("", &parent, &rect_, 1, nullptr, &kMapKeys), 0u);
    Mapora_LastErrorText(text, sizeof text);
    EXPECT_NE(std::string(text).find("Mapora_Init"), std::string::npos) << text;
}

TEST_F(MapTest, no_map_without_init) {
    Mapora_Shutdown(); // closes the fixture's map too
    EXPECT_EQ(Mapora_MapRedraw(map_, 0), 0);
    map_ = 0;
    QWidget parent;
    EXPECT_EQ(
        Mapora_MapCreate((dir_ / "again.zvm").c_str(), &parent, &rect_, 1, nullptr, &kMapKeys), 0u);
}

TEST_F(MapTest, raster_and_point_layers_drawn_where_they_lie) {
    TempDir dir;
    // A grey image over 0..40 E, 0..20 N and a point, both
    // in longitude/latitude.
    strand32test::writeRaster(dir / "patch.tif", "GTiff", 40, 20, {0, 1, 0, 20, 0, -1}, 4326);
    strand32test::writeVector(dir / "spot.shp", "ESRI Shapefile", 4326, {"POINT (-100 40)"});
    for (const char* file : {"patch.tif", "spot.shp"}) {
        LayerDescriptor d;
        ASSERT_TRUE(strand32::buildLayerDescriptor(dir / file, d));
        const std::int32_t id =
            Mapora_LayerConnect(map_, d.layerType, 0, d.fileName, d.companion[0], d.companion[1],
                                d.companion[2], file, 0, &kMapKeys);
        ASSERT_GT(id, layer_) << file;
        ASSERT_NE(Mapora_LayerSetVisible(map_, id, 1), 0);
    }
    MapProperties props{};
    ASSERT_NE(Mapora_MapGetProperties(map_, &props), 0);
    props.showGraticule = 0;
    ASSERT_NE(Mapora_MapSetProperties(map_, &props), 0);
    const QImage image = drawn();
    MaporaExtent area{};
    ASSERT_NE(Mapora_MapGetViewArea(map_, &area), 0);
    auto colourAt = [&](double lon, double lat) {
        const double px = rect_.left + (lon - area.west) / (area.east - area.west) * 400;
        const double py = rect_.top + (area.north - lat) / (area.north - area.south) * 220;
        return image.pixelColor(static_cast<int>(px), static_cast<int>(py));
    };
    // Inside the image: a grey level, neither land nor sea.
    for (const auto& [lon, lat] : {std::pair{5.0, 5.0}, {35.0, 15.0}, {20.0, 10.0}}) {
        const QColor c = colourAt(lon, lat);
        EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue()) << lon << " " << lat;
    }
    // Outside it the world map shows; the point is drawn in its colour.
    EXPECT_EQ(colourAt(-140, 10).rgb() & 0xffffff, props.backgroundRgb);
    EXPECT_EQ(colourAt(-100, 40).rgb() & 0xffffff, props.pointRgb);
}
