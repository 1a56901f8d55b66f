// What a search may be relied on for: it never changes or uses the
// process's current folder, it finds and reads files below paths of any
// length, and a search that fails says why instead of ending as if stopped.
#include "finder/search_controller.h"
#include "finder/search_run.h"
#include "finder/search_status.h"

#include "cache_corruption.h"
#include "deep_folder.h"
#include "hive_env.h"
#include "temp_dir.h"

#include <strand32/layer.h>
#include <strand32/layer_info.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace {

using namespace finder;
using testsupport::DeepFolder;
using testsupport::ScopedEnv;
using testsupport::TempDir;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";

// The whole world in degrees: every file with a known place passes.
SearchCriteria worldArea(const std::string& folder) {
    SearchCriteria c;
    c.startFolder = folder;
    c.namePattern = "*.*";
    c.flags = CriteriaFlags::Area;
    c.areaInDegrees = true;
    c.areaMode = AreaMode::Inclusive;
    c.area = AreaRect{-180, 90, 180, -90};
    return c;
}

// Runs a walk with a pool of readers; the files found, with their facts.
std::vector<FoundFile> walk(const SearchCriteria& criteria) {
    std::vector<FoundFile> found;
    std::atomic<bool> stop{false};
    SearchCallbacks callbacks;
    callbacks.candidateFound = [&](const FoundFile& file) { found.push_back(file); };
    SearchRun run(criteria, stop, callbacks);
    run.setReaders(2);
    EXPECT_EQ(run.run(), WalkResult::done());
    return found;
}

std::vector<std::string> pathsOf(const std::vector<FoundFile>& files) {
    std::vector<std::string> paths;
    for (const FoundFile& file : files)
        paths.push_back(file.path);
    return paths;
}

TEST(SearchReliance, the_current_folder_is_neither_changed_nor_used_while_a_search_runs) {
    const std::string before = std::filesystem::current_path();
    const std::vector<std::string> quiet = pathsOf(walk(worldArea(kSamples)));
    ASSERT_GT(quiet.size(), 10u);

    // Another thread moves the current folder about and checks, each time,
    // that it is still where it put it.
    std::atomic<bool> done{false};
    std::atomic<int> moved{0}, changedUnderfoot{0};
    std::thread other([&] {
        const char* places[] = {"/", "/tmp"};
        for (int i = 0; !done; ++i) {
            const std::string place = places[i % 2];
            std::filesystem::current_path(place);
            ++moved;
            for (int look = 0; look < 50; ++look)
                if (std::filesystem::current_path() != place)
                    ++changedUnderfoot;
        }
    });
    std::vector<std::string> busy;
    for (int round = 0; round < 5; ++round)
        busy = pathsOf(walk(worldArea(kSamples)));
    done = true;
    other.join();
    std::filesystem::current_path(before);
    EXPECT_GT(moved.load(), 0);
    EXPECT_EQ(changedUnderfoot.load(), 0);
    EXPECT_EQ(busy, quiet);
}

TEST(SearchReliance, files_below_a_path_of_5000_bytes_are_found_read_and_listed_whole) {
    TempDir dir;
    const DeepFolder deep(dir.str(), 5000);
    for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
        deep.copyIn(kSamples + "/world/countries" + ext, std::string("countries") + ext);
    deep.copyIn(kSamples + "/rasters/world_geo.tif", "world_geo.tif");
    ASSERT_GE(deep.path().size(), 5000u);

    struct Case {
        const char* what;
        SearchCriteria criteria;
        bool factsRead;
    } cases[] = {
        {"by name", worldArea(dir.str()), false},
        {"by area", worldArea(dir.str()), true},
    };
    cases[0].criteria.flags = 0;
    cases[0].criteria.namePattern = "*.*";
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.criteria.includeSubfolders = true;
        const std::vector<FoundFile> found = walk(c.criteria);
        std::vector<std::string> names;
        for (const FoundFile& file : found) {
            if (file.folder() != deep.path())
                continue;
            names.push_back(std::string(file.name()));
            EXPECT_EQ(file.facts != nullptr, c.factsRead) << file.path;
            if (!file.facts)
                continue;
            // The facts are GDAL's for the same bytes at a short path.
            const std::string original = file.name() == "world_geo.tif"
                                             ? kSamples + "/rasters/world_geo.tif"
                                             : kSamples + "/world/countries.shp";
            const auto gdal = strand32::layerExtent(*strand32::layerRefOf(original));
            ASSERT_TRUE(gdal && file.facts->extent) << file.path;
            EXPECT_EQ(*file.facts->extent,
                      (strand32::Extent{gdal->west, gdal->north, gdal->east, gdal->south}));
        }
        std::sort(names.begin(), names.end());
        const std::vector<std::string> expected =
            c.factsRead
                ? std::vector<std::string>{"countries.shp", "world_geo.tif"}
                : std::vector<std::string>{"countries.dbf", "countries.prj", "countries.shp",
                                           "countries.shx", "world_geo.tif"};
        EXPECT_EQ(names, expected);
    }
}

// Hears one search to its end, on the search's own thread.
struct Outcome : SearchListener {
    SearchOutcome outcome;
    std::function<void()> onRows;
    void rowsFound(const std::vector<FoundRow>&) override {
        if (onRows)
            onRows();
    }
    void searchFinished(const SearchOutcome& o) override { outcome = o; }
};

TEST(SearchReliance, a_search_that_fails_is_reported_with_its_reason_never_as_stopped) {
    const testsupport::HiveEnv hives(std::nullopt);
    const std::string cacheFile = hives.dir() / "cache/kavrel/footprints.sqlite";
    struct Case {
        const char* what;
        std::function<void(Outcome&)> arrange;
        const char* reason; // a part of the reason shown
        bool cache;         // the failing search uses the cache the first one filled
    } cases[] = {
        {"a listener that throws",
         [](Outcome& o) { o.onRows = [] { throw std::runtime_error("the list is full"); }; },
         "the list is full", true},
        {"a reader that fails",
         [](Outcome&) { ::setenv("KAVREL_TEST_FAIL_READING", "countries.shp", 1); },
         "countries.shp (KAVREL_TEST_FAIL_READING)", false},
        {"a cache that cannot be read",
         [&](Outcome&) { testsupport::corruptFootprintTable(cacheFile); }, "footprint cache", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A first search fills the cache that the last case damages.
        {
            Outcome filler;
            SearchController search(filler, directHandOff());
            ASSERT_EQ(search.start(worldArea(kSamples)), SearchController::StartResult::Started);
            search.wait();
            ASSERT_FALSE(filler.outcome.failed()) << filler.outcome.problem;
        }
        Outcome heard;
        c.arrange(heard);
        SearchController search(heard, directHandOff());
        search.setFootprintCache(c.cache);
        ASSERT_EQ(search.start(worldArea(kSamples)), SearchController::StartResult::Started);
        search.wait();
        ::unsetenv("KAVREL_TEST_FAIL_READING");
        EXPECT_TRUE(heard.outcome.failed());
        EXPECT_EQ(heard.outcome.problem.rfind(kSearchFailedText, 0), 0u) << heard.outcome.problem;
        EXPECT_NE(heard.outcome.problem.find(c.reason), std::string::npos) << heard.outcome.problem;
    }
}

} // namespace
