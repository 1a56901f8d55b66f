// kavrel-find with the catalogue: rows confirmed after changes between two
// searches print as a search without the catalogue prints them;
// --catalogue-only answers from what the last search saw, with its age;
// --catalogue-status; a catalogue damaged in use.
#include "kavrel_find_run.h"

#include "cache_corruption.h"
#include "catalogue_commands.h"
#include "catalogue_tree.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

namespace {

using clitest::lines;
using clitest::runKavrelFind;
using clitest::RunResult;
using clitest::with;
using testsupport::CatalogueTree;
using testsupport::TempDir;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

TEST(CatalogueSearch, rows_confirmed_after_a_change_are_the_rows_of_a_search_without_it) {
    const Args names = {"--named", "*.*"};
    const Args area = {"--named", "*.shp", "--area", "-30", "75", "60", "25", "--lat-lon"};
    const struct {
        const char* what;
        Args criteria;
        std::function<void(const CatalogueTree&)> change;
    } cases[] = {
        {"a file deleted", names, [](const auto& t) { fs::remove(t.path("a/notes.txt")); }},
        // Its folder keeps its stamp: only the file's own tells.
        {"a file grown in an unchanged folder", names,
         [](const auto& t) { t.append("b/plan.txt", std::string(5000, 'x')); }},
        {"a file added", names, [](const auto& t) { t.write("c/new.txt", "new"); }},
        {"a folder removed", names, [](const auto& t) { fs::remove_all(t.path("a/deep")); }},
        // Files copied an hour ago: their facts are kept when read.
        {"a shapefile added in the area", area, [](const auto& t) {
             t.copyShapefile("europe/central_etrs89", "c/copy");
             t.ageAll("c");
         }},
        {"a shapefile deleted from the area", area, [](const auto& t) {
             for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
                 fs::remove(t.path(std::string("b/central") + ext));
         }},
        // Written over, in a folder that keeps its stamp.
        {"a shapefile now lying elsewhere", area, [](const auto& t) {
             t.copyShapefile("world/countries", "b/central");
             for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
                 t.ageAll(std::string("b/central") + ext);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir scratch;
        const CatalogueTree tree(scratch);
        const Args args = with({"--look-in", tree.root()}, c.criteria);
        const RunResult before = runKavrelFind(args, scratch);
        ASSERT_EQ(before.status, 0) << before.err;
        c.change(tree);
        const RunResult reference = runKavrelFind(with(args, {"--no-cache"}), scratch);
        ASSERT_NE(reference.out, before.out);
        // The catalogue still answers what the first search saw.
        EXPECT_EQ(lines(runKavrelFind(with(args, {"--catalogue-only"}), scratch).out),
                  lines(before.out));
        const RunResult confirmed = runKavrelFind(args, scratch);
        EXPECT_EQ(confirmed.status, 0) << confirmed.err;
        EXPECT_EQ(lines(confirmed.out), lines(reference.out));
        EXPECT_EQ(confirmed.err, reference.err);
        // ... and what the confirming search saw, once it has run.
        EXPECT_EQ(lines(runKavrelFind(with(args, {"--catalogue-only"}), scratch).out),
                  lines(reference.out));
    }
}

TEST(CatalogueSearch, catalogue_only_says_how_old_its_answer_is_and_needs_a_known_folder) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    const Args args = {"--look-in", tree.root(), "--named", "*.txt", "--catalogue-only"};
    const RunResult unknown = runKavrelFind(args, scratch);
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "kavrel-find: The search failed: the catalogue does not cover " +
                               fs::canonical(tree.root()).string() + "\n0 file(s) found\n");
    ASSERT_EQ(runKavrelFind({"--look-in", tree.root(), "--named", "*.txt"}, scratch).status, 0);
    const RunResult known = runKavrelFind(args, scratch);
    EXPECT_EQ(known.status, 0);
    EXPECT_EQ(lines(known.out).size(), 4u);
    EXPECT_TRUE(std::regex_match(known.err,
                                 std::regex("kavrel-find: from the catalogue alone: its newest "
                                            "folder entries are [0-9]+ seconds? old, its oldest "
                                            "[0-9]+ seconds? old\n4 file\\(s\\) found\n")))
        << known.err;
    // A folder below one the catalogue knows is known too.
    EXPECT_EQ(runKavrelFind({"--look-in", tree.path("a"), "--named", "*.txt", "--catalogue-only"},
                            scratch)
                  .status,
              0);
    EXPECT_EQ(runKavrelFind(with(args, {"--no-cache"}), scratch).status, 2);
    EXPECT_EQ(runKavrelFind(args, scratch, "KAVREL_CACHE=off").err,
              "kavrel-find: The search failed: the catalogue is off (KAVREL_CACHE=off)\n"
              "0 file(s) found\n");
}

TEST(CatalogueSearch, ages_are_told_in_whole_units_rounded_down) {
    constexpr std::int64_t s = 1'000'000'000;
    const struct {
        std::int64_t ns;
        const char* text;
    } cases[] = {
        {-5 * s, "0 seconds"},      {0, "0 seconds"},          {s, "1 second"},
        {s + s / 2, "1 second"},    {119 * s, "119 seconds"},  {120 * s, "2 minutes"},
        {7199 * s, "119 minutes"},  {7200 * s, "2 hours"},     {172799 * s, "47 hours"},
        {172800 * s, "2 days"},     {90 * 86400 * s, "90 days"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(finder::cli::ageText(c.ns), c.text) << c.ns;
}

TEST(CatalogueSearch, status_counts_what_the_catalogue_knows) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    ASSERT_EQ(runKavrelFind({"--look-in", tree.root(), "--named", "*.txt"}, scratch).status, 0);
    const RunResult status = runKavrelFind({"--catalogue-status"}, scratch);
    EXPECT_EQ(status.status, 0);
    // The tree and its four folders, with 3 + 6 + 1 + 5 + 1 entries.
    EXPECT_EQ(status.out, "Catalogue: " + scratch / "cache/kavrel/footprints.sqlite" +
                              "\nFolders known: 5 (16 entries)\n"
                              "kavrel-watch: not running; no folder is watched\n");
}

TEST(CatalogueSearch, a_catalogue_damaged_in_use_fails_the_search_and_is_made_anew) {
    TempDir scratch;
    const CatalogueTree tree(scratch);
    const Args args = {"--look-in", tree.root(), "--named", "*.txt"};
    const RunResult reference = runKavrelFind(with(args, {"--no-cache"}), scratch);
    ASSERT_EQ(runKavrelFind(args, scratch).out, reference.out);
    const std::string file = scratch / "cache/kavrel/footprints.sqlite";
    testsupport::corruptCacheTable(file, "entry");
    const RunResult damaged = runKavrelFind(args, scratch);
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("kavrel-find: The search failed: the footprint cache's catalogue " +
                              file + " failed"),
              std::string::npos)
        << damaged.err;
    EXPECT_TRUE(fs::exists(file + ".damaged"));
    for (int run = 0; run < 2; ++run) {
        const RunResult again = runKavrelFind(args, scratch);
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(lines(again.out), lines(reference.out));
    }
}

} // namespace
