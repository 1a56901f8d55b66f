// The search controller with the catalogue: the rows it shows at once and
// how the walk then confirms, updates, adds and takes them away, each row
// once, the list ending as a search without the catalogue ends.
#include "finder/footprint_cache.h"
#include "finder/search_controller.h"
#include "finder/search_status.h"

#include "catalogue_recall.h"
#include "catalogue_tree.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

namespace {

using namespace finder;
using testsupport::CatalogueTree;
using testsupport::TempDir;

// The list as a window keeps it, and every call that changed it.
struct ListKeeper : SearchListener {
    std::map<std::string, FoundRow> shown;
    std::set<std::string> recalled, confirmed, found, gone;
    std::vector<std::string> recalledOrder, foundOrder;
    std::vector<std::string> statuses;
    int faults = 0; // a row shown twice, or one changed that was never shown
    SearchOutcome outcome;

    // New rows: none may be shown already.
    void add(const std::vector<FoundRow>& rows, std::set<std::string>& paths,
             std::vector<std::string>& order) {
        for (const FoundRow& row : rows) {
            paths.insert(row.file.path);
            order.push_back(row.file.path);
            faults += shown.count(row.file.path) ? 1 : 0;
            shown[row.file.path] = row;
        }
    }
    void rowsRecalled(const std::vector<FoundRow>& rows) override {
        add(rows, recalled, recalledOrder);
    }
    bool showsRecalledRows() const override { return true; }
    void rowsFound(const std::vector<FoundRow>& rows) override { add(rows, found, foundOrder); }
    void rowsConfirmed(const std::vector<FoundRow>& rows) override {
        for (const FoundRow& row : rows) {
            confirmed.insert(row.file.path);
            faults += shown.count(row.file.path) ? 0 : 1;
            shown[row.file.path] = row;
        }
    }
    void rowsGone(const std::vector<std::string>& paths) override {
        for (const std::string& path : paths) {
            gone.insert(path);
            faults += shown.erase(path) == 1 ? 0 : 1;
        }
    }
    void statusChanged(const std::string& text) override { statuses.push_back(text); }
    void searchFinished(const SearchOutcome& o) override { outcome = o; }
};

// The cache (and so the catalogue) in a folder of the test's.
struct CacheHere {
    explicit CacheHere(const std::string& folder) { ::setenv("XDG_CACHE_HOME", folder.c_str(), 1); }
    ~CacheHere() { ::setenv("XDG_CACHE_HOME", "/dev/null", 1); }
};

void search(ListKeeper& keeper, const SearchCriteria& criteria, bool useCache = true) {
    SearchController controller(keeper, directHandOff());
    controller.setFootprintCache(useCache);
    ASSERT_EQ(controller.start(criteria), SearchController::StartResult::Started);
    controller.wait();
}

void search(ListKeeper& keeper, const std::string& root, bool useCache = true) {
    SearchCriteria criteria;
    criteria.startFolder = root;
    criteria.namePattern = "*.txt";
    search(keeper, criteria, useCache);
}

TEST(CatalogueSearchController, each_change_between_two_searches_reaches_the_list_once) {
    TempDir scratch;
    const CacheHere cache(scratch / "cache");
    const CatalogueTree tree(scratch);
    const std::string root = std::filesystem::canonical(tree.root()).string();
    ListKeeper first;
    search(first, root);
    ASSERT_EQ(first.outcome.problem, "");
    EXPECT_EQ(first.found.size(), 4u);
    EXPECT_TRUE(first.recalled.empty());

    std::filesystem::remove(tree.path("a/notes.txt"));
    tree.append("b/plan.txt", std::string(3000, 'x')); // its folder keeps its stamp
    tree.write("c/new.txt", "new");
    ListKeeper reference;
    search(reference, root, false);
    ListKeeper second;
    search(second, root);

    EXPECT_EQ(second.faults, 0);
    EXPECT_EQ(second.outcome.problem, "");
    EXPECT_TRUE(second.outcome.catalogue.covered && second.outcome.catalogue.recalled);
    EXPECT_FALSE(second.outcome.catalogue.alone);
    const auto at = [&](const char* relative) { return root + "/" + relative; };
    EXPECT_EQ(second.recalled, (std::set<std::string>{at("a/notes.txt"), at("a/deep/old.txt"),
                                                      at("b/plan.txt"), at("c/list.txt")}));
    EXPECT_EQ(second.confirmed,
              (std::set<std::string>{at("a/deep/old.txt"), at("b/plan.txt"), at("c/list.txt")}));
    EXPECT_EQ(second.found, std::set<std::string>{at("c/new.txt")});
    EXPECT_EQ(second.gone, std::set<std::string>{at("a/notes.txt")});
    // The list ends as a search without the catalogue ends, sizes and all.
    ASSERT_EQ(second.shown.size(), reference.shown.size());
    for (const auto& [path, row] : reference.shown) {
        ASSERT_TRUE(second.shown.count(path)) << path;
        EXPECT_EQ(rowTexts(second.shown[path]), rowTexts(row)) << path;
    }
    EXPECT_EQ(second.outcome.filesFound, reference.outcome.filesFound);
    // While it checks, the status line says where the rows come from.
    ASSERT_FALSE(second.statuses.empty());
    EXPECT_EQ(second.statuses.front(), checkingText(root));
}

TEST(CatalogueSearchController, a_tree_the_catalogue_does_not_know_is_searched_and_kept) {
    TempDir scratch;
    const CacheHere cache(scratch / "cache");
    const CatalogueTree tree(scratch);
    const std::string root = std::filesystem::canonical(tree.root()).string();
    const struct {
        const char* what;
        std::string folder;
        bool covered;
    } cases[] = {
        {"a subfolder, before any search", root + "/a", false},
        {"the tree", root, false},
        {"the subfolder again: kept with the tree", root + "/a", true},
    };
    for (const auto& c : cases) {
        ListKeeper keeper;
        search(keeper, c.folder);
        EXPECT_EQ(keeper.outcome.catalogue.covered, c.covered) << c.what;
        EXPECT_EQ(keeper.faults, 0) << c.what;
    }
}

TEST(CatalogueSearchController, rows_from_the_catalogue_come_in_the_order_the_walk_finds_them) {
    TempDir scratch;
    const CacheHere cache(scratch / "cache");
    const CatalogueTree tree(scratch);
    // Folders whose paths sort between a folder and its subfolders ("b-x"
    // and "b.y" come before "b/inner"), and files listed in no name order.
    for (const char* folder : {"b/inner", "b-x", "b.y"})
        std::filesystem::create_directories(tree.path(folder));
    for (const char* folder : {"", "b/inner", "b-x", "b.y"}) {
        for (const char* name : {"n9.txt", "n1.txt", "zz.txt", "n5.txt", "aa.txt"})
            tree.write(std::string(folder) + (*folder ? "/" : "") + name, "text");
    }
    tree.copyShapefile("world/countries", "b-x/world");
    tree.copyShapefile("world/countries", "b/inner/world");
    tree.ageAll();
    const std::string root = std::filesystem::canonical(tree.root()).string();

    const auto named = [&](const char* pattern, bool subfolders) {
        SearchCriteria c;
        c.startFolder = root;
        c.namePattern = pattern;
        c.includeSubfolders = subfolders;
        return c;
    };
    SearchCriteria world = named("*.*", true);
    world.flags = CriteriaFlags::Area;
    world.areaInDegrees = true;
    world.area = AreaRect{-180, 90, 180, -90};
    const struct {
        const char* what;
        SearchCriteria criteria;
    } cases[] = {
        {"every name, folder by folder", named("*", true)},
        {"names by their head", named("n*", true)},
        {"names by their tail", named("*.txt", true)},
        {"the start folder alone", named("*.txt", false)},
        {"an area, by the footprints' index", world},
    };
    for (const auto& c : cases) {
        ListKeeper first, reference, second;
        search(first, c.criteria);
        search(reference, c.criteria, false);
        search(second, c.criteria);
        ASSERT_EQ(second.outcome.problem, "") << c.what;
        ASSERT_GT(reference.foundOrder.size(), 1u) << c.what;
        EXPECT_EQ(second.recalledOrder, reference.foundOrder) << c.what;
        EXPECT_TRUE(second.found.empty()) << c.what;
        EXPECT_EQ(second.faults, 0) << c.what;
        // The first folders' rows, handed over before the rest is built,
        // and the rest: the answer built whole, in its order, for any split.
        auto catalogue = Catalogue::open(FootprintCache::defaultFile(), FootprintCache::today());
        ASSERT_TRUE(catalogue.catalogue) << catalogue.problem;
        const CandidateTest test(c.criteria, 0);
        const auto recalled = [&](std::size_t firstFolders, std::size_t& handOvers) {
            std::vector<std::string> paths;
            const auto first = [&](std::vector<FoundFile>&& files) {
                ++handOvers;
                for (const FoundFile& file : files)
                    paths.push_back(file.path);
            };
            const RecallRequest request{
                c.criteria, test,        FactsWanted::None, 0, SearchRun::DefaultDepthLimit,
                first,      firstFolders};
            for (const FoundFile& file : recallFromCatalogue(*catalogue.catalogue, request).files)
                paths.push_back(file.path);
            return paths;
        };
        std::size_t none = 0;
        const std::vector<std::string> whole = recalled(0, none);
        EXPECT_EQ(none, 0u) << c.what;
        EXPECT_EQ(whole, reference.foundOrder) << c.what;
        for (const std::size_t firstFolders : {1, 2, 3, 5, 1000}) {
            std::size_t handOvers = 0;
            EXPECT_EQ(recalled(firstFolders, handOvers), whole) << c.what << " " << firstFolders;
            EXPECT_LE(handOvers, 1u) << c.what;
        }
        // An answer no watcher vouches for, whose rows nobody would see: its
        // folders alone, for the walk.
        const RecallRequest unseen{
            c.criteria, test, FactsWanted::None, 0, SearchRun::DefaultDepthLimit, {}, 0, false};
        const Recalled folders = recallFromCatalogue(*catalogue.catalogue, unseen);
        EXPECT_TRUE(folders.covered && !folders.folders.empty() && !folders.exact) << c.what;
        EXPECT_TRUE(folders.files.empty() && folders.unknown.empty()) << c.what;
    }
}

} // namespace
