// kavrel-find reads each file once: its JSON rows, footprints and coverage use
// the facts the search read (so a file below a path too long to open whole keeps
// its extent), no file is opened again for them, and a search that fails
// says why and exits 1.
#include "kavrel_find_run.h"

#include "cache_corruption.h"
#include "deep_folder.h"
#include "open_counter.h"
#include "sample_copy.h"
#include "temp_dir.h"

#include <gdal.h>
#include <ogr_api.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using clitest::runKavrelFind;
using clitest::with;
using testsupport::DeepFolder;
using testsupport::OpenCounter;
using testsupport::TempDir;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";
const std::vector<std::string> kWorld = {"--area", "-180", "90", "180", "-90", "--lat-lon"};

int featureCount(const std::string& file) {
    GDALAllRegister();
    std::unique_ptr<void, decltype(&GDALClose)> ds(
        GDALOpenEx(file.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr), GDALClose);
    OGRLayerH layer = ds ? GDALDatasetGetLayer(ds.get(), 0) : nullptr;
    return layer ? static_cast<int>(OGR_L_GetFeatureCount(layer, TRUE)) : -1;
}

TEST(KavrelFindReadOnce, a_file_below_a_5000_byte_path_keeps_its_extent_in_json_and_footprints) {
    TempDir dir;
    const DeepFolder deep(dir.str(), 5000);
    for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
        deep.copyIn(kSamples + "/world/countries" + ext, std::string("countries") + ext);
    const std::string footprints = dir / "footprints.geojson";
    const auto run = runKavrelFind(
        with({"--look-in", dir.str(), "--format", "json", "--footprints", footprints}, kWorld),
        dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"folder\":\"" + deep.path() + "\""), std::string::npos);
    EXPECT_NE(run.out.find("\"extent\":{\"west\":-180"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"keys\":{\"group\":\"LAT-LONG\""), std::string::npos) << run.out;
    EXPECT_EQ(featureCount(footprints), 1);
}

TEST(KavrelFindReadOnce, json_rows_footprints_and_coverage_open_no_file_the_search_has_read) {
    TempDir dir;
    const std::vector<std::string> folders =
        testsupport::copySampleFolders(dir, {"world", "europe", "rasters", "usa"});
    OpenCounter counter(folders);
    const std::vector<std::string> exports = {
        "--format",   "json",   "--footprints",      dir / "footprints.gpkg",
        "--coverage", "--gaps", dir / "gaps.geojson"};
    const auto noCache = [](std::vector<std::string> args) {
        args.insert(args.begin(), "--no-cache");
        return args;
    };
    // The first search reads every file (and fills the cache); the repeat
    // searches read none, so whatever they open, the exports opened. Without
    // the cache, the exports open nothing beyond what the search opened.
    struct Case {
        const char* what;
        std::vector<std::string> extra;
    } cases[] = {
        {"a first search with every export", exports},
        {"a repeat search", {}},
        {"a repeat search with every export", exports},
        {"a search without the cache", noCache({})},
        {"a search without the cache, with every export", noCache(exports)},
    };
    std::vector<std::map<std::string, int>> opened;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        counter.take();
        const auto run =
            runKavrelFind(with(with({"--look-in", dir / "tree"}, kWorld), c.extra), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        opened.push_back(counter.take());
    }
    EXPECT_EQ(opened[2], opened[1]);
    EXPECT_EQ(opened[4], opened[3]);
    for (const char* file : {"countries.shp", "europe_utm33.tif", "countries.tab"}) {
        EXPECT_GE(opened[0][file], 1) << file;
        EXPECT_EQ(opened[1].count(file), 0u) << file;
    }
}

TEST(KavrelFindReadOnce, a_failing_search_says_why_and_exits_1) {
    TempDir dir;
    const std::vector<std::string> search = with({"--look-in", kSamples}, kWorld);
    ASSERT_EQ(runKavrelFind(search, dir).status, 0); // fills the cache
    struct Case {
        const char* what;
        std::function<std::string()> arrange; // the environment of the failing run
        const char* reason;
    } cases[] = {
        {"a reader that fails",
         [] { return std::string("KAVREL_CACHE=off KAVREL_TEST_FAIL_READING=cities.shp"); },
         "cities.shp (KAVREL_TEST_FAIL_READING)"},
        {"a cache that cannot be read",
         [&] {
             testsupport::corruptFootprintTable(dir / "cache/kavrel/footprints.sqlite");
             return std::string();
         },
         "footprint cache"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto run = runKavrelFind(search, dir, c.arrange());
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("kavrel-find: The search failed: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
    // The damaged cache was set aside: the next search makes a new one.
    EXPECT_EQ(runKavrelFind(search, dir).status, 0);
}

} // namespace
