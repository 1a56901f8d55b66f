// Layers on a hostile file system: entries that are not files but carry the
// names of data files, sound files with such companions, and files that
// declare far more than they hold. Each case runs in a child process under a
// fixed memory, processor and blocking budget.
#include <gtest/gtest.h>

#include <cpl_conv.h>
#include <gdal.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gis_writer.h"
#include "limited_child.h"
#include "special_files.h"
#include "strand32/mapora_layer.h"
#include "temp_dir.h"

namespace {

using strand32test::writeRaster;
using strand32test::writeVector;
using testsupport::makeFifo;
using testsupport::makeLink;
using testsupport::makeSocket;
using testsupport::runLimited;
using testsupport::TempDir;

LayerDescriptor describe(const std::string& path) {
    LayerDescriptor d;
    strand32::buildPageLayerDescriptor(path, d);
    return d;
}

// Bits of the child's exit code: which of the layer calls succeeded.
constexpr int kExtentKnown = 1, kSystemKnown = 2, kObjectsCounted = 4;

// The calls of the search's layer tests, and with `count` the object count
// that the properties page asks for.
int layerCalls(const std::string& path, bool count = true) {
    const LayerDescriptor d = describe(path);
    MaporaExtent e{};
    CoordSysKeys keys;
    char scratch[64];
    MaporaObjectCounts n{};
    int known = 0;
    known |= Mapora_LayerExtent(&d, &e) != 0 ? kExtentKnown : 0;
    known |= Mapora_LayerCoordSys(&d, &keys, scratch, sizeof scratch) != 0 ? kSystemKnown : 0;
    if (count)
        known |= Mapora_LayerObjectCount(&d, &n) != 0 ? kObjectsCounted : 0;
    return known;
}

// 0 when the file's extent is `want` (to a millionth of a unit), else 1.
int extentIs(const std::string& path, MaporaExtent want) {
    const LayerDescriptor d = describe(path);
    MaporaExtent got{};
    if (Mapora_LayerExtent(&d, &got) == 0)
        return 1;
    const auto near = [](double a, double b) { return std::fabs(a - b) < 1e-6; };
    return near(got.west, want.west) && near(got.north, want.north) && near(got.east, want.east) &&
                   near(got.south, want.south)
               ? 0
               : 1;
}

std::string exitText(int code) {
    if (code == 128 + SIGALRM)
        return "blocked";
    if (code == 128 + SIGXCPU || code == 128 + SIGKILL)
        return "ran out of processor time";
    if (code == testsupport::kOverMemoryBudget)
        return "went over its memory budget";
    return "exit " + std::to_string(code);
}

void patch(const std::string& path, std::size_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot patch " + path);
}

std::string bigEndian32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string littleEndian32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

const std::vector<double> kDegreesTransform = {10, 0.5, 0, 50, 0, -0.5};
const MaporaExtent kDegreesExtent{10, 50, 12, 48}; // 4 x 4 pixels of the transform

TEST(HostileLayerFiles, entries_named_like_data_files_that_are_not_files_fail_at_once) {
    TempDir dir;
    writeVector(dir.makeFolder("folder.shp") + "/roads.shp", "ESRI Shapefile", 4326,
                {"POINT (1 2)"});
    std::vector<std::string> entries;
    for (const char* name : {"pipe.shp", "pipe.tif", "pipe.tab", "pipe.mif", "pipe.dxf", "pipe.dwg",
                             "pipe.dgn", "pipe.bmp", "pipe.jpg", "pipe.kap"})
        entries.push_back(makeFifo(dir / name));
    entries.push_back(makeSocket(dir / "socket.shp"));
    entries.push_back(makeSocket(dir / "socket.tif"));
    for (const char* name : {"zero.tif", "zero.shp", "zero.tab", "zero.mif", "zero.kap"})
        entries.push_back(makeLink("/dev/zero", dir / name));
    entries.push_back(makeLink("/dev/null", dir / "null.dxf"));
    entries.push_back(makeLink(makeFifo(dir / "hidden-pipe"), dir / "linked-pipe.shp"));
    entries.push_back(dir / "folder.shp");
    for (const std::string& path : entries)
        EXPECT_EQ(exitText(runLimited([&] { return layerCalls(path); }, {.wallSeconds = 20})),
                  exitText(0))
            << path;
}

// A companion that is not a file counts as absent: the layer is read as far
// as it can be without it, and nothing waits on it.
TEST(HostileLayerFiles, companions_that_are_not_files_count_as_absent) {
    TempDir dir;
    struct Case {
        std::string layer;
        std::function<void()> make;
        bool extentKnown;
    };
    const std::vector<Case> cases = {
        {dir / "nodbf.shp",
         [&] {
             writeVector(dir / "nodbf.shp", "ESRI Shapefile", 4326,
                         {"POINT (10 48)", "POINT (12 50)"});
             std::filesystem::remove(dir / "nodbf.dbf");
             makeFifo(dir / "nodbf.dbf");
             makeFifo(dir / "nodbf.cpg");
         },
         true},
        {dir / "noshx.shp",
         [&] {
             writeVector(dir / "noshx.shp", "ESRI Shapefile", 4326, {"POINT (10 48)"});
             std::filesystem::remove(dir / "noshx.shx");
             makeFifo(dir / "noshx.shx");
         },
         false},
        {dir / "noprj.shp",
         [&] {
             writeVector(dir / "noprj.shp", "ESRI Shapefile", 0,
                         {"POINT (10 48)", "POINT (12 50)"});
             makeLink("/dev/zero", dir / "noprj.prj");
         },
         true},
        {dir / "sidecars.tif",
         [&] {
             writeRaster(dir / "sidecars.tif", "GTiff", 4, 4, kDegreesTransform, 4326);
             for (const char* name :
                  {"sidecars.tif.aux.xml", "sidecars.tif.ovr", "sidecars.tif.msk", "sidecars.aux",
                   "sidecars.tif.aux", "sidecars.xml", "sidecars.imd", "sidecars.rpb",
                   "sidecars.tfw", "sidecars.TAB"})
                 makeFifo(dir / name);
         },
         true},
        {dir / "world.tif",
         [&] {
             writeRaster(dir / "world.tif", "GTiff", 4, 4, {}, 0);
             makeFifo(dir / "world.TFW");
             makeLink("/dev/zero", dir / "world.wld");
             makeFifo(dir / "world.TAB");
         },
         false},
        {dir / "table.tab",
         [&] {
             writeVector(dir / "table.tab", "MapInfo File", 4326,
                         {"POINT (10 48)", "POINT (12 50)"});
             std::filesystem::remove(dir / "table.map");
             makeFifo(dir / "table.map");
         },
         false},
        {dir / "lines.mif",
         [&] {
             writeVector(dir / "lines.mif", "MapInfo File", 4326, {"LINESTRING (10 48, 12 50)"});
             std::filesystem::remove(dir / "lines.mid");
             makeFifo(dir / "lines.mid");
         },
         true},
        {dir / "picture.tab",
         [&] {
             dir.writeFile("picture.tab", "!table\n!version 300\nDefinition Table\n  File "
                                          "\"picture.tif\"\n  Type \"RASTER\"\n");
             makeFifo(dir / "picture.tif");
         },
         false},
    };
    for (const Case& c : cases) {
        c.make();
        const int code =
            runLimited([&] { return extentIs(c.layer, kDegreesExtent); }, {.wallSeconds = 20});
        EXPECT_EQ(exitText(code), exitText(c.extentKnown ? 0 : 1)) << c.layer;
    }
}

// A raster whose header declares four terapixels and a shapefile whose index
// claims millions of records: the search's layer tests read what they need
// from the headers and end within a fixed budget.
TEST(HostileLayerFiles, files_declaring_huge_contents_are_read_within_a_fixed_budget) {
    TempDir dir;
    GDALAllRegister();
    struct Case {
        std::string layer;
        std::function<void()> make;
        int known; // the calls that succeed, within the budget
    };
    const std::vector<Case> cases = {
        {dir / "huge.tif",
         [&] {
             const char* options[] = {"TILED=YES",      "BLOCKXSIZE=16384", "BLOCKYSIZE=16384",
                                      "SPARSE_OK=TRUE", "BIGTIFF=YES",      nullptr};
             GDALDatasetH ds =
                 GDALCreate(GDALGetDriverByName("GTiff"), (dir / "huge.tif").c_str(), 2000000,
                            2000000, 1, GDT_Byte, const_cast<char**>(options));
             double gt[6] = {-180, 360.0 / 2000000, 0, 90, 0, -180.0 / 2000000};
             GDALSetGeoTransform(ds, gt);
             GDALClose(ds);
         },
         kExtentKnown},
        {dir / "wide.bmp",
         [&] {
             writeRaster(dir / "wide.bmp", "BMP", 4, 4, kDegreesTransform, 0);
             patch(dir / "wide.bmp", 18, littleEndian32(1000000000) + littleEndian32(1000000000));
         },
         0},
        {dir / "rle.bmp",
         [&] {
             writeRaster(dir / "rle.bmp", "BMP", 4, 4, kDegreesTransform, 0);
             // Run-length coded (compression 1), 60000 x 60000 pixels.
             patch(dir / "rle.bmp", 18,
                   littleEndian32(60000) + littleEndian32(60000) +
                       std::string("\x01\x00\x08\x00", 4) + littleEndian32(1));
         },
         0},
        {dir / "chart.kap",
         [&] {
             dir.writeFile("chart.kap",
                           "BSB/NA=Hostile,NU=1\nKNP/SC=1,GD=WGS84,PR=MERCATOR\n"
                           "RA=100000000,100000000\nREF/1,0,0,50,10\nREF/2,100000000,0,50,12\n"
                           "REF/3,0,100000000,48,10\nRGB/1,0,0,0\n\x1a\x00\x07" +
                               std::string(64, '\x01'));
         },
         0},
        {dir / "claims.shp",
         [&] {
             writeVector(dir / "claims.shp", "ESRI Shapefile", 4326,
                         {"POINT (10 48)", "POINT (12 50)"});
             // The index's length field: 200 million records of 8 bytes.
             patch(dir / "claims.shx", 24, bigEndian32(50 + 4 * 200000000));
         },
         kExtentKnown | kSystemKnown},
        {dir / "many.shp",
         [&] {
             writeVector(dir / "many.shp", "ESRI Shapefile", 4326,
                         {"POINT (10 48)", "POINT (12 50)"});
             // An index that holds four million (empty) records indeed.
             constexpr std::uint32_t kRecords = 4000000;
             patch(dir / "many.shx", 24, bigEndian32(50 + 4 * kRecords));
             std::filesystem::resize_file(dir / "many.shx", 100 + 8ull * kRecords);
         },
         kExtentKnown | kSystemKnown},
    };
    // GDAL and the coordinate-system library set up once, before the
    // children: the budget is what each file costs beyond that.
    writeVector(dir / "warm.shp", "ESRI Shapefile", 4326, {"POINT (10 48)"});
    ASSERT_EQ(layerCalls(dir / "warm.shp", false), kExtentKnown | kSystemKnown);
    for (const Case& c : cases) {
        c.make();
        const int code =
            runLimited([&] { return layerCalls(c.layer, false); },
                       {.extraBytes = std::size_t(256) << 20, .cpuSeconds = 10, .wallSeconds = 30});
        EXPECT_EQ(exitText(code), exitText(c.known)) << c.layer;
    }
}

} // namespace
