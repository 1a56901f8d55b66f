// Extent, coordinate-system keys and object counts of files written with
// GDAL, and the quiet failures of damaged ones.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gis_writer.h"
#include "quill32/datora.h"
#include "strand32/mapora_layer.h"
#include "temp_dir.h"

using strand32test::writeRaster;
using strand32test::writeVector;
using testsupport::TempDir;

namespace {

LayerDescriptor describe(const std::string& path) {
    LayerDescriptor d;
    strand32::buildPageLayerDescriptor(path, d);
    return d;
}

struct Keys {
    std::string group, system, datum, units;
    bool operator==(const Keys&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Keys& k) {
    return os << k.group << " / " << k.system << " / " << k.datum << " / " << k.units;
}

std::optional<Keys> keysOf(const LayerDescriptor& d) {
    CoordSysKeys keys;
    char scratch[512];
    if (!Mapora_LayerCoordSys(&d, &keys, scratch, sizeof scratch))
        return std::nullopt;
    return Keys{keys.group, keys.system, keys.datum, keys.units};
}

void expectExtent(const LayerDescriptor& d, MaporaExtent want, double tolerance,
                  const std::string& what) {
    MaporaExtent got{};
    ASSERT_NE(Mapora_LayerExtent(&d, &got), 0) << what;
    EXPECT_NEAR(got.west, want.west, tolerance) << what;
    EXPECT_NEAR(got.north, want.north, tolerance) << what;
    EXPECT_NEAR(got.east, want.east, tolerance) << what;
    EXPECT_NEAR(got.south, want.south, tolerance) << what;
}

// A BSB chart of 4 x 400 pixels that states neither control points nor a
// placement: header lines, 0x1A 0x00, the colour size, rows (number, one
// run, 0), the rows' offsets and the offset of that index.
std::string unplacedChart() {
    constexpr int kRows = 400;
    std::string bytes = "BSB/NA=TEST,NU=1,RA=4," + std::to_string(kRows) +
                        ",DU=254\r\nKNP/SC=10000,GD=WGS84,PR=MERCATOR,UN=METERS\r\n"
                        "RGB/1,0,0,0\r\nRGB/2,255,255,255\r\n\x1a";
    bytes += std::string("\0\x01", 2);
    const auto bigEndian = [&bytes](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>(v >> shift & 0xff);
    };
    std::vector<std::uint32_t> offsets;
    for (int row = 1; row <= kRows; ++row) {
        offsets.push_back(static_cast<std::uint32_t>(bytes.size()));
        if (row >= 128)
            bytes += static_cast<char>(0x80 | row >> 7);
        bytes += static_cast<char>(row & 0x7f);
        bytes += std::string("\x43\0", 2); // four pixels of colour 1
    }
    const auto index = static_cast<std::uint32_t>(bytes.size());
    for (const std::uint32_t offset : offsets)
        bigEndian(offset);
    bigEndian(index);
    return bytes;
}

const Keys kWgs84{"LAT-LONG", "LAT-LONG", "WGS84", "DEGREES"};
const Keys kUtm33Wgs84{"UTM", "UTM-33N", "WGS84", "METERS"};
const Keys kUtm33Etrs89{"UTM", "UTM-33N", "ETRS89", "METERS"};

} // namespace

TEST(LayerInfo, vector_files_of_every_kind) {
    TempDir dir;
    const std::vector<std::string> utm = {"POINT (500000 4649776)",
                                          "LINESTRING (400000 4600000,600000 4700000)"};
    const std::vector<std::string> mixed = {"POINT (13 52)", "LINESTRING (12 51,14 53)",
                                            "POLYGON ((10 50,11 50,11 54,10 54,10 50))",
                                            "POLYGON ((15 49,16 49,16 50,15 49))"};
    writeVector(dir / "utm.shp", "ESRI Shapefile", 32633, {utm[1]});
    writeVector(dir / "etrs.tab", "MapInfo File", 25833, utm);
    writeVector(dir / "mixed.mif", "MapInfo File", 4326, mixed);
    writeVector(dir / "plan.dxf", "DXF", 0, {"LINESTRING (1 2,3 4)", "POINT (-5 8)"});
    writeVector(dir / "plan.dgn", "DGN", 0, {"LINESTRING (100 200,300 400)"});
    const struct {
        const char* file;
        MaporaExtent extent;
        double tolerance;
        std::optional<Keys> keys;
        MaporaObjectCounts counts;
    } cases[] = {
        {"utm.shp", {400000, 4700000, 600000, 4600000}, 1e-6, kUtm33Wgs84, {0, 1, 0, 0}},
        // MapInfo stores integer coordinates on a grid: allow its step.
        {"etrs.tab", {400000, 4700000, 600000, 4600000}, 0.01, kUtm33Etrs89, {1, 1, 0, 0}},
        {"mixed.mif", {10, 54, 16, 49}, 1e-6, kWgs84, {1, 1, 2, 0}},
        {"plan.dxf", {-5, 8, 3, 2}, 1e-9, std::nullopt, {1, 1, 0, 0}},
        {"plan.dgn", {100, 400, 300, 200}, 1e-3, std::nullopt, {0, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        const LayerDescriptor d = describe(dir / c.file);
        expectExtent(d, c.extent, c.tolerance, c.file);
        EXPECT_EQ(keysOf(d), c.keys) << c.file;
        MaporaObjectCounts n{};
        ASSERT_NE(Mapora_LayerObjectCount(&d, &n), 0) << c.file;
        EXPECT_EQ(std::tie(n.points, n.lines, n.polygons, n.others),
                  std::tie(c.counts.points, c.counts.lines, c.counts.polygons, c.counts.others))
            << c.file;
    }
}

TEST(LayerInfo, raster_georeferencing) {
    TempDir dir;
    // Own georeferencing and coordinate system.
    writeRaster(dir / "own.tif", "GTiff", 40, 20, {10, 0.5, 0, 50, 0, -0.25}, 4326);
    // A world file the driver finds itself, spelt in lower case.
    writeRaster(dir / "tfw.tif", "GTiff", 10, 10, {}, 0);
    dir.writeFile("tfw.tfw", "2\n0\n0\n-2\n101\n199\n");
    // A .TFW beside a JPEG: only the descriptor's companion slot names it.
    writeRaster(dir / "photo.jpg", "JPEG", 10, 5, {}, 0);
    dir.writeFile("photo.TFW", "1\n0\n0\n-1\n0.5\n9.5\n");
    // A raster table whose control points place an image in longitude/latitude;
    // the page's descriptor names the image, the finder's the table.
    writeRaster(dir / "chart.tif", "GTiff", 100, 50, {}, 0);
    const std::string table =
        dir.writeFile("sheet.tab", "!table\n!version 300\n\nDefinition Table\n"
                                   "  File \"chart.tif\"\n  Type \"RASTER\"\n"
                                   "  (10,50) (0,0) Label \"Pt 1\",\n"
                                   "  (11,50) (100,0) Label \"Pt 2\",\n"
                                   "  (10,49.5) (0,50) Label \"Pt 3\"\n"
                                   "  CoordSys Earth Projection 1, 104\n  Units \"degree\"\n");
    const struct {
        const char* file;
        MaporaExtent extent;
        std::optional<Keys> keys;
    } cases[] = {
        {"own.tif", {10, 50, 30, 45}, kWgs84},
        {"tfw.tif", {100, 200, 120, 180}, std::nullopt},
        {"photo.jpg", {0, 10, 10, 5}, std::nullopt},
    };
    for (const auto& c : cases) {
        const LayerDescriptor d = describe(dir / c.file);
        expectExtent(d, c.extent, 1e-6, c.file);
        EXPECT_EQ(keysOf(d), c.keys) << c.file;
        MaporaObjectCounts n{};
        ASSERT_NE(Mapora_LayerObjectCount(&d, &n), 0) << c.file;
        EXPECT_EQ(n.others, 1) << c.file;
    }
    LayerDescriptor finder;
    ASSERT_TRUE(strand32::buildLayerDescriptor(table, finder));
    expectExtent(finder, {10, 50, 11, 49.5}, 1e-6, "sheet.tab as a table");
    EXPECT_EQ(keysOf(finder), kWgs84);
    // The page's descriptor takes the image's own companion (chart.TAB), so
    // only a table named after its image georeferences it there.
    MaporaExtent e{};
    const LayerDescriptor page = describe(table);
    EXPECT_EQ(Mapora_LayerExtent(&page, &e), 0);
    dir.writeFile("chart.tab", TempDir::readFile(table));
    expectExtent(describe(table), {10, 50, 11, 49.5}, 1e-6, "sheet.tab beside chart.tab");
    // Without any georeferencing the extent is not known.
    writeRaster(dir / "plain.bmp", "BMP", 4, 4, {}, 0);
    const LayerDescriptor plain = describe(dir / "plain.bmp");
    EXPECT_EQ(Mapora_LayerExtent(&plain, &e), 0);
    // Nor is the system of a chart without control points, whatever the
    // driver offers for the points it has not got.
    const LayerDescriptor chart = describe(dir.writeFile("unplaced.kap", unplacedChart()));
    EXPECT_EQ(Mapora_LayerExtent(&chart, &e), 0);
    EXPECT_EQ(keysOf(chart), std::nullopt);
}

TEST(LayerInfo, damaged_files_fail_quietly) {
    TempDir dir;
    writeVector(dir / "good.shp", "ESRI Shapefile", 4326, {"POINT (1 2)", "POINT (3 4)"});
    const std::string shp = TempDir::readFile(dir / "good.shp");
    const std::string shx = TempDir::readFile(dir / "good.shx");
    const std::string dbf = TempDir::readFile(dir / "good.dbf");
    auto shapeSet = [&](const std::string& name, const std::string& shpBytes) {
        dir.writeFile(name + ".shp", shpBytes);
        dir.writeFile(name + ".shx", shx);
        dir.writeFile(name + ".dbf", dbf);
        return dir / (name + ".shp");
    };
    const std::string garbage = "\x01\xff garbage \x00\x13 not a GIS file at all \x7f";
    const std::string files[] = {
        shapeSet("header_only", shp.substr(0, 100)),
        shapeSet("half_record", shp.substr(0, shp.size() - 10)),
        shapeSet("cut", shp.substr(0, 50)),
        dir.writeFile("garbage.tab", garbage),
        dir.writeFile("binary.TAB", std::string(4096, '\xee')),
        dir.writeFile("garbage.mif", "Version 300\nColumns 9999999999\nData\nPline 99999999\n"),
        dir.writeFile("garbage.dgn", std::string(2048, '\x08')),
        dir.writeFile("garbage.dwg", "AC1015" + std::string(512, '\x01')),
        dir.writeFile("garbage.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnan\n"),
        dir.writeFile("garbage.tif", "II*\x00\x08\x00\x00\x00\xff\xff"),
        dir.writeFile("garbage.kap", "BSB/NA=x\n" + garbage),
    };
    const char* empties[] = {"e.shp", "e.tab", "e.mif", "e.dxf", "e.dwg", "e.dgn",
                             "e.tif", "e.bmp", "e.jpg", "e.kap", "e.zvl"};
    std::vector<std::string> all(std::begin(files), std::end(files));
    for (const char* e : empties)
        all.push_back(dir.writeFile(e));
    all.push_back(dir / "missing.shp");
    for (const std::string& path : all) {
        const LayerDescriptor d = describe(path);
        MaporaExtent e{};
        CoordSysKeys keys;
        char scratch[16];
        MaporaObjectCounts n{};
        // Whatever a damaged file allows, the calls return; none has a .prj.
        Mapora_LayerExtent(&d, &e);
        Mapora_LayerObjectCount(&d, &n);
        EXPECT_EQ(Mapora_LayerCoordSys(&d, &keys, scratch, sizeof scratch), 0) << path;
    }
    // A shapefile without features states (0,0) - (0,0), some writers
    // (0,0) - (-1,-1): no extent either way.
    writeVector(dir / "no_features.shp", "ESRI Shapefile", 4326, {});
    for (const char* part : {".shp", ".shx"}) {
        std::string bytes = TempDir::readFile(dir / (std::string("no_features") + part));
        const double box[] = {0, 0, -1, -1};
        std::memcpy(bytes.data() + 36, box, sizeof box);
        dir.writeFile(std::string("inverted") + part, bytes);
    }
    dir.writeFile("inverted.dbf", TempDir::readFile(dir / "no_features.dbf"));
    // Features under a box whose south lies above its north.
    for (const char* part : {".shp", ".shx"}) {
        std::string bytes = part == std::string(".shp") ? shp : shx;
        const double south = 9;
        std::memcpy(bytes.data() + 44, &south, sizeof south);
        dir.writeFile(std::string("upside_down") + part, bytes);
    }
    dir.writeFile("upside_down.dbf", dbf);
    for (const std::string& path :
         {dir / "cut.shp", dir / "garbage.tab", dir / "e.shp", dir / "e.tif", dir / "missing.shp",
          dir / "no_features.shp", dir / "inverted.shp", dir / "upside_down.shp"}) {
        const LayerDescriptor d = describe(path);
        MaporaExtent e{};
        EXPECT_EQ(Mapora_LayerExtent(&d, &e), 0) << path;
    }
}

TEST(LayerInfo, nonsense_projection_gives_unknown_keys_but_keeps_the_extent) {
    TempDir dir;
    writeVector(dir / "roads.shp", "ESRI Shapefile", 32633, {"LINESTRING (1 2,3 4)"});
    dir.writeFile("roads.prj", "PROJCS[\"nonsense\",GEOGCS[oops]]]]");
    const LayerDescriptor d = describe(dir / "roads.shp");
    expectExtent(d, {1, 4, 3, 2}, 1e-9, "roads.shp");
    EXPECT_EQ(keysOf(d), std::nullopt);
}

TEST(LayerInfo, unknown_kind_and_null_arguments_fail) {
    TempDir dir;
    writeVector(dir / "a.shp", "ESRI Shapefile", 4326, {"POINT (1 2)"});
    LayerDescriptor d = describe(dir / "a.shp");
    d.layerType = 0; // a shapefile described as no layer is not opened
    MaporaExtent e{};
    CoordSysKeys keys;
    MaporaObjectCounts n{};
    EXPECT_EQ(Mapora_LayerExtent(&d, &e), 0);
    EXPECT_EQ(Mapora_LayerExtent(nullptr, &e), 0);
    EXPECT_EQ(Mapora_LayerExtent(&d, nullptr), 0);
    EXPECT_EQ(Mapora_LayerCoordSys(nullptr, &keys, nullptr, 0), 0);
    EXPECT_EQ(Mapora_LayerObjectCount(&d, &n), 0);
    // The scratch buffer is optional, and a short one is cut, not overrun.
    d.layerType = 16;
    EXPECT_NE(Mapora_LayerCoordSys(&d, &keys, nullptr, 0), 0);
    char tiny[4] = {'x', 'x', 'x', 'x'};
    EXPECT_NE(Mapora_LayerCoordSys(&d, &keys, tiny, 3), 0);
    EXPECT_EQ(tiny[2], '\0');
    EXPECT_EQ(tiny[3], 'x');
}

TEST(LayerInfo, init_needs_a_readable_database) {
    const std::string database = std::string(KAVREL_DATA_DIR) + "/datora.dat";
    if (!std::filesystem::exists(database))
        GTEST_SKIP() << "datora.dat not built";
    TempDir dir;
    const std::string real = TempDir::readFile(database);
    EXPECT_EQ(Mapora_Init(database.c_str()), 0);
    EXPECT_NE(Mapora_Init((dir / "absent.dat").c_str()), 0);
    EXPECT_NE(Mapora_Init(dir.writeFile("empty.dat").c_str()), 0);
    EXPECT_NE(Mapora_Init(dir.writeFile("garbage.dat", std::string(5000, '\x5a')).c_str()), 0);
    EXPECT_NE(Mapora_Init(dir.writeFile("cut.dat", real.substr(0, real.size() / 2)).c_str()), 0);
    EXPECT_NE(Mapora_Init(nullptr), 0);
    EXPECT_NE(Mapora_Init(""), 0);
    Mapora_Shutdown();
}

TEST(LayerInfo, keys_are_those_of_the_database_objects) {
    const std::string database = std::string(KAVREL_DATA_DIR) + "/datora.dat";
    if (!std::filesystem::exists(database))
        GTEST_SKIP() << "datora.dat not built";
    const DatoraDatabase db = Datora_DBConnect(database.c_str());
    ASSERT_NE(db, 0u);
    ASSERT_NE(Datora_DBOpen(db, 1), 0);
    TempDir dir;
    for (const int epsg : {4326, 32633, 25833, 2263, 27700}) {
        const std::string path = dir / ("epsg" + std::to_string(epsg) + ".shp");
        writeVector(path, "ESRI Shapefile", epsg, {"POINT (1 2)"});
        const auto keys = keysOf(describe(path));
        ASSERT_TRUE(keys) << epsg;
        // What a picker's choice reads from the database compares equal.
        auto keyOf = [](DatoraObject object) {
            char buffer[512] = {};
            Datora_ObjectGetKey(object, buffer, sizeof buffer);
            Datora_ObjectRelease(object);
            return std::string(buffer);
        };
        const DatoraObject group = Datora_CoordSysGroupRead(db, keys->group.c_str(), 0);
        ASSERT_NE(group, 0u) << *keys;
        const DatoraObject system = Datora_CoordSysRead2(db, group, keys->system.c_str(), 0);
        ASSERT_NE(system, 0u) << *keys;
        const DatoraObject datum = Datora_DatumRead(db, keys->datum.c_str(), 0);
        ASSERT_NE(datum, 0u) << *keys;
        EXPECT_EQ(keyOf(system), keys->system);
        EXPECT_EQ(keyOf(group), keys->group);
        EXPECT_EQ(keyOf(datum), keys->datum);
    }
    Datora_DBClose(db);
    Datora_DBDisconnect(db);
}
