// kavrel-find with the footprint cache: the same rows with and without it
// over the sample tree and the real-world files, and a search that goes on
// without it when it cannot be had.
#include "kavrel_find_run.h"
#include "temp_dir.h"

#include "finder/footprint_cache.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>

namespace {

using clitest::runKavrelFind;
using clitest::RunResult;
using testsupport::TempDir;
namespace fs = std::filesystem;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";
const std::string kRealWorld = std::string(KAVREL_BUILD_DIR) + "/testdata/rgdal";

using Args = std::vector<std::string>;

// Criteria that read every layer of a tree: areas in degrees and in the
// files' own units, and coordinate systems.
std::vector<Args> readingCriteria(const std::string& root) {
    const Args base = {"--look-in", root, "--named", "*.*"};
    const std::vector<Args> more = {
        {"--area", "-30", "75", "60", "25", "--lat-lon", "--inclusive"},
        {"--area", "-180", "90", "180", "-90", "--lat-lon", "--exclusive"},
        {"--area", "300000", "5600000", "700000", "5200000", "--intersection"},
        {"--group", "Universal Transverse Mercator (UTM)"},
        {"--group", "Longitude / Latitude", "--datum", "WGS84"},
    };
    std::vector<Args> all;
    for (const Args& m : more) {
        Args args = base;
        args.insert(args.end(), m.begin(), m.end());
        all.push_back(std::move(args));
    }
    return all;
}

// The rows without the cache; the cache is then filled and read twice.
void expectSameRowsWithTheCache(const std::string& root, const TempDir& scratch) {
    for (const Args& args : readingCriteria(root)) {
        Args uncached = args;
        uncached.push_back("--no-cache");
        const RunResult reference = runKavrelFind(uncached, scratch);
        ASSERT_EQ(reference.status, 0) << reference.err;
        for (const char* pass : {"filling", "filled"}) {
            const RunResult cached = runKavrelFind(args, scratch);
            EXPECT_EQ(cached.out, reference.out) << pass << ": " << args[4] << " " << args[5];
            EXPECT_EQ(cached.err, reference.err) << pass;
        }
    }
}

std::string cacheFile(const TempDir& scratch) {
    return scratch / "cache/kavrel/footprints.sqlite";
}

TEST(FootprintCacheSearch, rows_are_the_same_with_and_without_the_cache) {
    TempDir scratch;
    for (const std::string& root : {kSamples, kRealWorld}) {
        if (!fs::exists(root))
            GTEST_SKIP() << root << " not built";
        expectSameRowsWithTheCache(root, scratch);
    }
    // The cache holds the samples: an entry answers for countries.shp.
    const std::string folder = kSamples + "/world";
    auto cache = finder::FootprintCache::open(cacheFile(scratch), finder::FootprintCache::today());
    ASSERT_TRUE(cache.cache) << cache.problem;
    const auto facts = cache.cache->find(
        folder + "/countries.shp", *finder::stampAt(AT_FDCWD, folder + "/countries.shp"),
        *finder::stampAt(AT_FDCWD, folder), true,
        [&](const std::string& name) { return finder::stampAt(AT_FDCWD, folder + "/" + name); });
    ASSERT_TRUE(facts);
    EXPECT_TRUE(facts->extent && facts->keys);
}

TEST(FootprintCacheSearch, a_damaged_cache_is_set_aside_and_rebuilt) {
    TempDir scratch;
    const Args args = readingCriteria(kSamples).front();
    scratch.writeFile("cache/kavrel/footprints.sqlite", std::string(4096, '\x17'));
    const RunResult reference = runKavrelFind(args, scratch, "KAVREL_CACHE=off");
    const RunResult damaged = runKavrelFind(args, scratch);
    EXPECT_EQ(damaged.out, reference.out);
    EXPECT_EQ(damaged.err, reference.err); // the count alone: nothing to tell
    EXPECT_EQ(TempDir::readFile(cacheFile(scratch) + ".damaged"), std::string(4096, '\x17'));
    EXPECT_EQ(runKavrelFind(args, scratch).out, reference.out);
}

TEST(FootprintCacheSearch, without_a_cache_folder_the_search_runs_uncached_with_one_warning) {
    TempDir scratch;
    const Args args = readingCriteria(kSamples).front();
    const std::string blocked = scratch.writeFile("not-a-folder");
    const RunResult reference = runKavrelFind(args, scratch, "KAVREL_CACHE=off");
    const RunResult run = runKavrelFind(args, scratch, "XDG_CACHE_HOME='" + blocked + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, reference.out);
    const std::string warning = "kavrel-find: searching without the footprint cache: ";
    ASSERT_EQ(run.err.rfind(warning, 0), 0u) << run.err;
    EXPECT_EQ(run.err.substr(run.err.find('\n') + 1), reference.err);
}

TEST(FootprintCacheSearch, no_cache_option_and_environment_leave_no_cache_behind) {
    const Args args = readingCriteria(kSamples).front();
    struct Case {
        const char* what;
        Args extra;
        std::string env;
    } cases[] = {{"--no-cache", {"--no-cache"}, ""}, {"KAVREL_CACHE=off", {}, "KAVREL_CACHE=off"}};
    for (const Case& c : cases) {
        TempDir scratch;
        Args all = args;
        all.insert(all.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(runKavrelFind(all, scratch, c.env).status, 0) << c.what;
        EXPECT_FALSE(fs::exists(scratch / "cache")) << c.what;
    }
}

TEST(FootprintCacheSearch, two_searches_fill_one_cache_at_once) {
    TempDir scratch;
    const std::vector<Args> criteria = readingCriteria(kRealWorld);
    const RunResult reference = runKavrelFind(criteria[0], scratch, "KAVREL_CACHE=off");
    const RunResult utm = runKavrelFind(criteria[3], scratch, "KAVREL_CACHE=off");
    // Both started before either is read: they run side by side.
    FILE* first = ::popen(
        clitest::kavrelFindCommand(criteria[0], scratch, "", scratch / "err1").c_str(), "r");
    FILE* second = ::popen(
        clitest::kavrelFindCommand(criteria[3], scratch, "", scratch / "err2").c_str(), "r");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(clitest::readAll(first), reference.out);
    EXPECT_EQ(clitest::readAll(second), utm.out);
    EXPECT_EQ(clitest::exitStatus(::pclose(first)), 0) << TempDir::readFile(scratch / "err1");
    EXPECT_EQ(clitest::exitStatus(::pclose(second)), 0) << TempDir::readFile(scratch / "err2");
    EXPECT_EQ(runKavrelFind(criteria[0], scratch).out, reference.out);
    EXPECT_EQ(runKavrelFind(criteria[3], scratch).out, utm.out);
}

} // namespace
