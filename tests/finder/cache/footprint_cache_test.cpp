// The footprint cache on its own: when an entry answers, ageing, damaged
// and unwritable files, several processes at once.
#include "finder/footprint_cache.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace finder;
using testsupport::TempDir;

constexpr std::int64_t kDay = 20000;
constexpr std::int64_t kLongAgo = 1'600'000'000'000'000'000; // September 2020

FileStamp stamp(std::uint64_t inode) {
    return FileStamp{2049, inode, 4096, kLongAgo + static_cast<std::int64_t>(inode)};
}

strand32::FileFacts factsWithKeys() {
    strand32::FileFacts facts;
    facts.extent = strand32::Extent{400000, 5600000, 600000, 5300000.25};
    facts.lonLat = strand32::Extent{13.6, 50.5, 16.4, 47.8};
    facts.keysRead = true;
    CoordSysKeys keys{};
    std::strcpy(keys.group, "UTM");
    std::strcpy(keys.system, "UTM-33N");
    std::strcpy(keys.datum, "WGS84");
    std::strcpy(keys.units, "METERS");
    facts.keys = keys;
    facts.companions = {"../shared/roads.prj", "roads.dbf", "roads.shx"}; // in name order
    // Two layers in two systems, the first sharing the file's: each system
    // is kept once and comes back whole.
    facts.kind = LayerType::Shape;
    facts.crsWkt = "PROJCRS[\"WGS 84 / UTM zone 33N\"]";
    facts.crsName = "WGS 84 / UTM zone 33N";
    strand32::LayerFacts roads{"roads",       "Line String", facts.extent, facts.crsWkt,
                               facts.crsName, keys,          std::nullopt};
    strand32::LayerFacts stops{
        "stops",  "Point",      strand32::Extent{13, 51, 14, 50},  "GEOGCRS[\"WGS 84\"]",
        "WGS 84", std::nullopt, strand32::ObjectCounts{3, 0, 0, 0}};
    stops.counts.reset(); // counts are not kept
    facts.layers = {roads, stops};
    return facts;
}

// Companions' current stamps, as a test sets them, kept in name order.
struct Companions {
    std::map<std::string, FileStamp> now;
    std::vector<CompanionStamp> stored() const {
        std::vector<CompanionStamp> out;
        for (const auto& [name, s] : now)
            out.push_back({name, s});
        return out;
    }
    FootprintCache::CompanionStamper stamper() const {
        return [this](const std::string& name) -> std::optional<FileStamp> {
            const auto it = now.find(name);
            return it == now.end() ? std::nullopt : std::optional(it->second);
        };
    }
};

struct CacheFile {
    TempDir dir;
    std::string file = dir / "cache/kavrel/footprints.sqlite";
    std::unique_ptr<FootprintCache> open(std::int64_t day = kDay) const {
        FootprintCache::Opened opened = FootprintCache::open(file, day);
        EXPECT_EQ(opened.problem, "");
        return std::move(opened.cache);
    }
};

TEST(FootprintCache, an_entry_answers_only_while_file_folder_and_companions_keep_their_stamps) {
    CacheFile cache;
    Companions companions;
    const strand32::FileFacts facts = factsWithKeys();
    for (std::size_t i = 0; i < facts.companions.size(); ++i)
        companions.now[facts.companions[i]] = stamp(10 + i);
    const FileStamp file = stamp(1);
    const FileStamp folder = stamp(2);
    cache.open()->store("/data/roads.shp", file, folder, facts, companions.stored());

    const auto cached = cache.open();
    const auto find = [&](const FileStamp& f, const FileStamp& d) {
        return cached->find("/data/roads.shp", f, d, true, companions.stamper());
    };
    EXPECT_EQ(find(file, folder), facts);
    FileStamp changed[] = {file, file, file, file, folder};
    ++changed[0].device;
    ++changed[1].inode;
    ++changed[2].size;
    ++changed[3].modifiedNs; // one nanosecond later
    ++changed[4].modifiedNs; // something added to or taken from the folder
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(find(changed[i], folder)) << i;
    EXPECT_FALSE(find(file, changed[4]));
    EXPECT_FALSE(cached->find("/data/other.shp", file, folder, true, companions.stamper()));
    for (const std::string& name : facts.companions) {
        const FileStamp was = companions.now[name];
        ++companions.now[name].modifiedNs;
        EXPECT_FALSE(find(file, folder)) << name << " touched";
        companions.now.erase(name);
        EXPECT_FALSE(find(file, folder)) << name << " gone";
        companions.now[name] = was;
    }
    EXPECT_EQ(find(file, folder), facts);
}

TEST(FootprintCache, keys_answer_only_when_they_were_read) {
    CacheFile cache;
    strand32::FileFacts facts = factsWithKeys();
    facts.keysRead = false;
    facts.keys.reset();
    facts.companions.clear();
    cache.open()->store("/a.tif", stamp(1), stamp(2), facts, {});
    const auto cached = cache.open();
    const auto none = [](const std::string&) { return std::optional<FileStamp>(); };
    EXPECT_FALSE(cached->find("/a.tif", stamp(1), stamp(2), true, none));
    EXPECT_EQ(cached->find("/a.tif", stamp(1), stamp(2), false, none), facts);
}

TEST(FootprintCache, entries_of_files_not_met_for_ninety_days_are_dropped) {
    const auto none = [](const std::string&) { return std::optional<FileStamp>(); };
    const struct {
        std::int64_t metAgain; // days after the store; 0: not met again
        std::int64_t opened;   // days after the store
        bool kept;
    } cases[] = {
        {0, 90, true},   // last met exactly 90 days ago
        {0, 91, false},  // 91 days ago
        {80, 170, true}, // met again on day 80: aged from then
        {80, 171, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.metAgain) + " " + std::to_string(c.opened));
        CacheFile cache;
        cache.open(kDay)->store("/met.shp", stamp(1), stamp(9), strand32::FileFacts{}, {});
        if (c.metAgain != 0) {
            EXPECT_TRUE(
                cache.open(kDay + c.metAgain)->find("/met.shp", stamp(1), stamp(9), false, none));
        }
        EXPECT_EQ(
            bool(cache.open(kDay + c.opened)->find("/met.shp", stamp(1), stamp(9), false, none)),
            c.kept);
    }
}

// Stores, and the "last met" days of cached files a search finds, reach the
// file in batches of 1,024 while the cache stays open: a second cache sees
// them (and a search killed later keeps them).
TEST(FootprintCache, writes_reach_the_file_every_1024_entries_without_a_flush) {
    const auto none = [](const std::string&) { return std::optional<FileStamp>(); };
    const struct {
        bool touches; // finds of stored entries rather than stores
        int count;
        bool seen;
    } cases[] = {
        {false, 1023, false}, {false, 1024, true}, {true, 1023, false}, {true, 1024, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + (c.touches ? " finds" : " stores"));
        CacheFile cache;
        const auto path = [](int n) { return "/f" + std::to_string(n); };
        const auto stampOf = [](int n) { return stamp(static_cast<std::uint64_t>(n)); };
        if (c.touches) {
            const auto first = cache.open(kDay);
            for (int n = 0; n < c.count; ++n)
                first->store(path(n), stampOf(n), stamp(0), strand32::FileFacts{}, {});
        }
        // Finds on day 80 keep the entries past day 90 only once written.
        const std::int64_t day = c.touches ? kDay + 80 : kDay;
        const auto open = cache.open(day);
        for (int n = 0; n < c.count; ++n) {
            if (c.touches) {
                EXPECT_TRUE(open->find(path(n), stampOf(n), stamp(0), false, none));
            } else {
                open->store(path(n), stampOf(n), stamp(0), strand32::FileFacts{}, {});
            }
        }
        const auto second = cache.open(c.touches ? kDay + 100 : kDay);
        EXPECT_EQ(bool(second->find(path(0), stampOf(0), stamp(0), false, none)), c.seen);
    }
}

TEST(FootprintCache, nothing_younger_than_two_seconds_is_kept) {
    CacheFile cache;
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    FileStamp young = stamp(1);
    young.modifiedNs = now;
    const auto none = [](const std::string&) { return std::optional<FileStamp>(); };
    const struct {
        FileStamp file, folder;
        std::vector<CompanionStamp> companions;
    } cases[] = {
        {young, stamp(2), {}}, {stamp(1), young, {}}, {stamp(1), stamp(2), {{"x.prj", young}}}};
    for (const auto& c : cases) {
        strand32::FileFacts facts;
        for (const CompanionStamp& s : c.companions)
            facts.companions.push_back(s.name);
        cache.open()->store("/young.shp", c.file, c.folder, facts, c.companions);
        EXPECT_FALSE(cache.open()->find("/young.shp", c.file, c.folder, false, none));
    }
}

TEST(FootprintCache, a_damaged_file_is_set_aside_and_a_new_one_made) {
    CacheFile cache;
    const std::string garbage(8192, '\x5a');
    std::filesystem::create_directories(std::filesystem::path(cache.file).parent_path());
    cache.dir.writeFile("cache/kavrel/footprints.sqlite", "SQLite format 3\0" + garbage);
    const auto cached = cache.open();
    ASSERT_TRUE(cached);
    cached->store("/b.shp", stamp(1), stamp(2), strand32::FileFacts{}, {});
    cached->flush();
    EXPECT_EQ(TempDir::readFile(cache.file + ".damaged"), "SQLite format 3\0" + garbage);
    EXPECT_TRUE(cached->find("/b.shp", stamp(1), stamp(2), false,
                             [](const std::string&) { return std::optional<FileStamp>(); }));
}

TEST(FootprintCache, a_folder_that_cannot_be_made_is_a_reason_not_a_cache) {
    TempDir dir;
    dir.writeFile("plain"); // a file where the cache's folder should be
    const FootprintCache::Opened opened =
        FootprintCache::open(dir / "plain/kavrel/footprints.sqlite", kDay);
    EXPECT_FALSE(opened.cache);
    EXPECT_NE(opened.problem.find("plain/kavrel"), std::string::npos) << opened.problem;
}

TEST(FootprintCache, two_processes_fill_one_cache_at_once) {
    CacheFile cache;
    cache.open(); // made before the writers start
    constexpr int kEach = 600;
    pid_t children[2];
    for (int writer = 0; writer < 2; ++writer) {
        children[writer] = ::fork();
        ASSERT_GE(children[writer], 0);
        if (children[writer] == 0) {
            auto c = FootprintCache::open(cache.file, kDay).cache;
            if (!c)
                ::_exit(1);
            // Every path once from each writer, in opposite orders.
            for (int i = 0; i < kEach; ++i) {
                const int n = writer == 0 ? i : kEach - 1 - i;
                c->store("/f" + std::to_string(n), stamp(static_cast<std::uint64_t>(n)), stamp(0),
                         strand32::FileFacts{}, {});
            }
            c.reset();
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto cached = cache.open();
    const auto none = [](const std::string&) { return std::optional<FileStamp>(); };
    int found = 0;
    for (int n = 0; n < kEach; ++n)
        found += cached->find("/f" + std::to_string(n), stamp(static_cast<std::uint64_t>(n)),
                              stamp(0), false, none)
                     ? 1
                     : 0;
    EXPECT_EQ(found, kEach);
}

} // namespace
