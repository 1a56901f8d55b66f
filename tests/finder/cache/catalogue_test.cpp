// The catalogue on its own: which index range a name pattern reads, the
// folders of a tree by path, a newer listing winning, folders forgotten and
// aged out, footprints found by area, vouching, an older layout rebuilt.
#include "finder/catalogue.h"
#include "finder/catalogue_writer.h"
#include "finder/footprint_cache.h"

#include "temp_dir.h"

#include <platform/wildcard.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

namespace {

using namespace finder;
using testsupport::TempDir;

constexpr std::int64_t kDay = 20000;
constexpr std::int64_t kLongAgo = 1'600'000'000'000'000'000; // September 2020
constexpr std::int64_t kSecond = 1'000'000'000;
constexpr char kWgs84Wkt[] = "GEOGCRS[\"WGS 84\"]";

struct CatalogueFile {
    TempDir dir;
    std::string file = dir / "cache/kavrel/footprints.sqlite";
    std::unique_ptr<CatalogueWriter> writer(std::int64_t day = kDay) const {
        auto opened = CatalogueWriter::open(file, day);
        EXPECT_EQ(opened.problem, "");
        return std::move(opened.writer);
    }
    std::unique_ptr<Catalogue> reader(std::int64_t day = kDay) const {
        auto opened = Catalogue::open(file, day);
        EXPECT_EQ(opened.problem, "");
        return std::move(opened.catalogue);
    }
};

CatalogueEntry file(const std::string& name, std::uint64_t size = 10) {
    return CatalogueEntry{name, EntryKind::File, size, kLongAgo, size + 100, 0};
}

CatalogueEntry subfolder(const std::string& name) {
    return CatalogueEntry{name, EntryKind::Subfolder, 0, kLongAgo, 7, 0};
}

FolderRecord listing(const std::string& path, std::vector<CatalogueEntry> entries,
                     std::int64_t listedNs = kLongAgo + 10 * kSecond) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].seq = static_cast<std::int64_t>(i);
    return FolderRecord{path, FileStamp{1, 2, 3, kLongAgo}, listedNs, std::move(entries)};
}

std::vector<std::string> pathsOf(const std::vector<CatalogueFolder>& folders) {
    std::vector<std::string> paths;
    for (const CatalogueFolder& f : folders)
        paths.push_back(f.path);
    return paths;
}

std::vector<std::string> namesOf(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> names;
    for (const CatalogueEntry& e : entries)
        names.push_back(e.name);
    return names;
}

TEST(CataloguePattern, each_pattern_reads_the_range_of_the_index_its_literal_end_gives) {
    using Use = NamePatternPlan::Use;
    const struct {
        const char* pattern;
        Use use;
        std::string from, to;
    } cases[] = {
        {"*.*", Use::Everything, "", ""},
        {"*", Use::Everything, "", ""},
        {"*.SHP", Use::Tail, "phs.", "phs/"},
        {"Roads*", Use::Head, "roads", "roadt"},
        {"read*.*", Use::Head, "read", "reae"}, // also finds README
        {"abc.", Use::Head, "abc", "abd"},      // finds abc, without a dot
        {"?x.tif", Use::Tail, "fit.x", "fit.y"},
        {"a*b", Use::Head, "a", "b"}, // as long: the head
        {"roads.shp", Use::Head, "roads.shp", "roads.shq"},
        {"\xff\xff*", Use::Head, "\xff\xff", ""}, // no key above: open
    };
    for (const auto& c : cases) {
        const NamePatternPlan plan = planOfPattern(c.pattern);
        EXPECT_EQ(plan.use, c.use) << c.pattern;
        EXPECT_EQ(plan.from, c.from) << c.pattern;
        EXPECT_EQ(plan.to, c.to) << c.pattern;
    }
}

TEST(CataloguePattern, every_name_a_pattern_matches_lies_in_its_range) {
    const char* const names[] = {"roads.shp", "ROADS.SHP", "README", "readme.txt", "abc",
                                 "abc.d",     "x.tif",     "Ax.TIF", "ab",         "a.b.c"};
    const char* const patterns[] = {"*.shp", "ROADS*", "read*.*", "abc.", "?x.tif", "a*b", "a*.c"};
    for (const char* pattern : patterns) {
        const NamePatternPlan plan = planOfPattern(pattern);
        for (const char* name : names) {
            if (!platform::wildcardMatch(pattern, name))
                continue;
            std::string key = plan.use == NamePatternPlan::Use::Tail ? tailKey(name) : name;
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
            EXPECT_TRUE(key >= plan.from && (plan.to.empty() || key < plan.to))
                << pattern << " misses " << name;
        }
    }
}

TEST(Catalogue, a_tree_is_its_folder_and_those_below_it_not_its_namesakes) {
    CatalogueFile f;
    auto writer = f.writer();
    for (const char* path :
         {"/t/a", "/t/a/x", "/t/a/x/y", "/t/a-x", "/t/a.b", "/t/a b", "/t/ab", "/t/a0", "/t"})
        writer->record(listing(path, {}));
    writer->commit();
    auto reader = f.reader();
    const std::vector<std::string> tree = {"/t/a", "/t/a/x", "/t/a/x/y"};
    EXPECT_EQ(pathsOf(reader->folders("/t/a", true)), tree);
    EXPECT_EQ(pathsOf(reader->folders("/t/a", false)), std::vector<std::string>{"/t/a"});
    EXPECT_TRUE(reader->folders("/t/nothing", true).empty());
    EXPECT_EQ(reader->folders("/t", true).size(), 9u);
}

TEST(CatalogueWriter, a_listing_older_than_what_is_kept_is_passed_over) {
    CatalogueFile f;
    auto writer = f.writer();
    const auto id = writer->record(listing("/t", {file("a"), file("b")}, 100 * kSecond));
    ASSERT_TRUE(id);
    writer->putEntry(*id, file("c"), 200 * kSecond); // the watcher saw c appear
    const struct {
        std::int64_t listedSeconds;
        bool kept;
        std::vector<std::string> names;
    } cases[] = {
        {150, false, {"a", "b", "c"}}, // listed before c appeared: stale
        {200, true, {"a", "d"}},       // listed at once: taken
        {199, false, {"a", "d"}},
    };
    for (const auto& c : cases) {
        const auto recorded =
            writer->record(listing("/t", {file("a"), file("d")}, c.listedSeconds * kSecond));
        writer->commit();
        EXPECT_EQ(recorded.has_value(), c.kept) << c.listedSeconds;
        EXPECT_EQ(namesOf(f.reader()->entries(*id)), c.names) << c.listedSeconds;
    }
}

TEST(CatalogueWriter, subfolders_no_longer_listed_go_with_their_trees_and_moves_carry_trees) {
    CatalogueFile f;
    auto writer = f.writer();
    writer->record(listing("/t", {subfolder("keep"), subfolder("gone"), file("f")}));
    for (const char* path : {"/t/keep", "/t/gone", "/t/gone/deep", "/t/gonex"})
        writer->record(listing(path, {file("x")}));
    writer->record(listing("/t", {subfolder("keep"), file("f")}, kLongAgo + 20 * kSecond));
    writer->commit();
    EXPECT_EQ(pathsOf(f.reader()->folders("/t", true)),
              (std::vector<std::string>{"/t", "/t/gonex", "/t/keep"}));
    writer->move("/t/keep", "/t/moved");
    writer->commit();
    EXPECT_EQ(pathsOf(f.reader()->folders("/t", true)),
              (std::vector<std::string>{"/t", "/t/gonex", "/t/moved"}));
    writer->forget("/t");
    writer->commit();
    EXPECT_TRUE(f.reader()->folders("/t", true).empty());
}

TEST(CatalogueWriter, entries_keep_their_listing_order_and_new_ones_come_last) {
    CatalogueFile f;
    auto writer = f.writer();
    const auto id = writer->record(listing("/t", {file("zeta"), file("alpha"), file("mid")}));
    writer->putEntry(*id, file("alpha", 99), kLongAgo + 30 * kSecond); // changed: same place
    writer->putEntry(*id, file("new"), kLongAgo + 30 * kSecond);
    writer->removeEntry(*id, "mid", kLongAgo + 30 * kSecond);
    writer->commit();
    const auto entries = f.reader()->entries(*id);
    EXPECT_EQ(namesOf(entries), (std::vector<std::string>{"zeta", "alpha", "new"}));
    EXPECT_EQ(entries[1].size, 99u);
}

TEST(Catalogue, folders_not_met_for_ninety_days_are_dropped_when_it_opens) {
    const struct {
        std::int64_t daysLater;
        bool kept;
    } cases[] = {{89, true}, {90, true}, {91, false}};
    for (const auto& c : cases) {
        CatalogueFile f;
        f.writer(kDay)->record(listing("/t", {file("a")}));
        EXPECT_EQ(f.reader(kDay + c.daysLater)->folders("/t", false).size(), c.kept ? 1u : 0u)
            << c.daysLater;
    }
}

TEST(Catalogue, a_folder_is_trusted_and_vouched_for_by_the_rules) {
    const std::int64_t listed = kLongAgo + 100 * kSecond;
    const struct {
        const char* what;
        std::int64_t modified, watchSession, watchedNs, liveSession;
        bool trusted, vouched;
    } cases[] = {
        {"listed well after its change", listed - 2 * kSecond, 7, listed - 1, 7, true, true},
        {"listed just after its change", listed - 2 * kSecond + 1, 7, listed, 7, false, true},
        {"watched after it was listed", listed - 5 * kSecond, 7, listed + 1, 7, true, false},
        {"watched by a watcher gone", listed - 5 * kSecond, 7, listed - 1, 8, true, false},
        {"no watcher runs", listed - 5 * kSecond, 7, listed - 1, 0, true, false},
        {"never watched", listed - 5 * kSecond, 0, 0, 0, true, false},
    };
    for (const auto& c : cases) {
        CatalogueFolder folder;
        folder.stamp.modifiedNs = c.modified;
        folder.listedNs = listed;
        folder.watchSession = c.watchSession;
        folder.watchedNs = c.watchedNs;
        EXPECT_EQ(folder.trusted(), c.trusted) << c.what;
        EXPECT_EQ(folder.vouchedBy(c.liveSession), c.vouched) << c.what;
    }
}

TEST(Catalogue, footprints_are_found_by_area_under_the_tree_and_follow_their_changes) {
    CatalogueFile f;
    const auto cache = FootprintCache::open(f.file, kDay);
    ASSERT_TRUE(cache.cache) << cache.problem;
    const FileStamp folder{1, 2, 3, kLongAgo};
    const auto store = [&](const std::string& path, strand32::Extent lonLat) {
        strand32::FileFacts facts;
        facts.kind = LayerType::Shape;
        facts.lonLat = lonLat;
        facts.crsWkt = kWgs84Wkt;
        cache.cache->store(path, FileStamp{1, 9, 10, kLongAgo}, folder, facts, {});
        cache.cache->flush();
    };
    store("/t/europe.shp", {5, 55, 15, 45});
    store("/t/sub/pacific.shp", {170, 10, -170, -10}); // across the antimeridian
    store("/u/europe.shp", {5, 55, 15, 45});
    store("/w/world.shp", {-180, 90, 180, -90});
    store("/w/band.shp", {-175, 20, 175, -20});
    store("/w/pacific.shp", {170, 10, -170, -10});
    auto reader = f.reader();
    const auto found = [&](const std::string& tree, strand32::Extent box, bool inside = false) {
        std::vector<std::string> paths;
        reader->footprintsInArea(
            {tree, box, inside, inside}, [](const KeptFootprint&) { return true; },
            [&](KeptFootprint&& kept, std::optional<strand32::FileFacts>&& facts) {
                EXPECT_TRUE(facts);
                EXPECT_EQ(facts, reader->factsOf(kept.path, kept.stamp, false)) << kept.path;
                paths.push_back(kept.path);
            });
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    using Paths = std::vector<std::string>;
    // Inside an area: none that reaches beyond it north or south, or east or
    // west unless it crosses the antimeridian (kept as the whole width).
    const struct {
        strand32::Extent box;
        Paths inside;
    } insideCases[] = {
        {{-180, 90, 180, -90}, {"/w/band.shp", "/w/pacific.shp", "/w/world.shp"}},
        {{-180, 30, 180, -30}, {"/w/band.shp", "/w/pacific.shp"}},
        {{-175, 20, 175, -20}, {"/w/band.shp", "/w/pacific.shp"}},
        {{-174.9, 20, 175, -20}, {"/w/pacific.shp"}},
        {{-175, 19.9, 175, -20}, {"/w/pacific.shp"}},
        {{160, 15, 179, -15}, {"/w/pacific.shp"}},
    };
    for (const auto& c : insideCases)
        EXPECT_EQ(found("/w", c.box, true), c.inside) << c.box.west << " " << c.box.north;
    // A file the area rules out is not decoded.
    int decoded = 0;
    reader->footprintsInArea(
        {"/w", {-180, 90, 180, -90}},
        [](const KeptFootprint& kept) { return kept.lonLat && kept.lonLat->west < 0; },
        [&](KeptFootprint&& kept, std::optional<strand32::FileFacts>&&) {
            EXPECT_NE(kept.path, "/w/pacific.shp");
            ++decoded;
        });
    EXPECT_EQ(decoded, 2);
    // Files of one system share its definition.
    std::vector<std::optional<strand32::FileFacts>> facts;
    reader->footprintsInArea(
        {"/w", {-180, 90, 180, -90}}, [](const KeptFootprint&) { return true; },
        [&](KeptFootprint&&, std::optional<strand32::FileFacts>&& f) { facts.push_back(f); });
    ASSERT_EQ(facts.size(), 3u);
    EXPECT_EQ(facts[0]->crsWkt.str(), kWgs84Wkt);
    EXPECT_EQ(&facts[0]->crsWkt.str(), &facts[2]->crsWkt.str());
    EXPECT_EQ(found("/t", {0, 60, 20, 40}), Paths{"/t/europe.shp"});
    EXPECT_EQ(found("/t", {15, 45, 20, 40}), Paths{"/t/europe.shp"}); // touching corners
    EXPECT_EQ(found("/t", {15.001, 60, 20, 40}), Paths{});
    EXPECT_EQ(found("/t", {-179, 5, -175, 0}), Paths{"/t/sub/pacific.shp"});
    EXPECT_EQ(found("/t/sub", {0, 60, 20, 40}), Paths{});
    store("/t/europe.shp", {100, 10, 110, 0}); // read again: lies elsewhere now
    EXPECT_EQ(found("/t", {0, 60, 20, 40}), Paths{});
    // The facts answer only for the file as it was read.
    EXPECT_TRUE(reader->factsOf("/t/europe.shp", FileStamp{1, 9, 10, kLongAgo}, false));
    EXPECT_FALSE(reader->factsOf("/t/europe.shp", FileStamp{1, 9, 11, kLongAgo}, false));
    EXPECT_FALSE(reader->factsOf("/t/europe.shp", FileStamp{1, 9, 10, kLongAgo}, true));
}

TEST(Catalogue, a_layer_file_is_unread_until_a_footprint_of_it_as_it_is_now_is_kept) {
    CatalogueFile f;
    auto writer = f.writer();
    writer->setLayerNames([](std::string_view name) { return name.ends_with(".shp"); });
    const auto cache = FootprintCache::open(f.file, kDay);
    ASSERT_TRUE(cache.cache) << cache.problem;
    const auto unread = [&] {
        std::vector<std::string> names;
        f.reader()->unreadEntries(
            [&](std::int64_t, CatalogueEntry&& e) { names.push_back(e.name); });
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto read = [&](const std::string& path, const CatalogueEntry& as) {
        cache.cache->store(path, FileStamp{1, as.inode, as.size, as.modifiedNs},
                           FileStamp{1, 2, 3, kLongAgo}, strand32::FileFacts{}, {});
        cache.cache->flush();
    };
    using Names = std::vector<std::string>;
    const auto id = writer->record(listing("/t", {file("a.shp"), file("b.shp"), file("c.txt")}));
    writer->commit();
    EXPECT_EQ(unread(), (Names{"a.shp", "b.shp"})); // never read; not a layer
    read("/t/a.shp", file("a.shp"));
    EXPECT_EQ(unread(), Names{"b.shp"});
    read("/t/b.shp", file("b.shp", 11)); // read as another size: not this one
    EXPECT_EQ(unread(), Names{"b.shp"});
    writer->putEntry(*id, file("a.shp", 12), kLongAgo + 50 * kSecond); // changed since
    writer->commit();
    EXPECT_EQ(unread(), (Names{"a.shp", "b.shp"}));
    read("/t/a.shp", file("a.shp", 12));           // read again over the former entry
    writer->record(listing("/", {file("x.shp")})); // the root: "/x.shp"
    writer->commit();
    EXPECT_EQ(unread(), (Names{"b.shp", "x.shp"}));
    read("/x.shp", file("x.shp"));
    EXPECT_EQ(unread(), Names{"b.shp"});
}

TEST(Catalogue, a_cache_of_the_former_layout_is_made_anew_with_the_catalogue) {
    CatalogueFile f;
    std::filesystem::create_directories(std::filesystem::path(f.file).parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(f.file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE footprint (path TEXT PRIMARY KEY) WITHOUT ROWID;"
                           "INSERT INTO footprint VALUES ('/old'); PRAGMA user_version = 2;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    auto writer = f.writer();
    ASSERT_TRUE(writer);
    EXPECT_TRUE(writer->record(listing("/t", {file("a")})));
    writer->commit();
    EXPECT_FALSE(std::filesystem::exists(f.file + ".damaged"));
    EXPECT_EQ(f.reader()->folders("/t", false).size(), 1u);
}

TEST(Catalogue, a_damaged_file_is_set_aside_and_a_new_one_made) {
    CatalogueFile f;
    f.dir.writeFile("cache/kavrel/footprints.sqlite", std::string(8192, '\x5a'));
    auto reader = f.reader();
    ASSERT_TRUE(reader);
    EXPECT_TRUE(reader->folders("/", true).empty());
    EXPECT_EQ(TempDir::readFile(f.file + ".damaged"), std::string(8192, '\x5a'));
}

} // namespace
