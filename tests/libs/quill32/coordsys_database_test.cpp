// The database through its C++ classes, over a small file written here:
// look-ups by key and by name (a key wins, letter case counts), the datums a
// group allows, indexes out of range, values that outlive their database,
// a file changed between opens, and files that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "datora_text.h"
#include "quill32/coordsys_database.h"
#include "temp_dir.h"

namespace {

using quill32::CoordSysDatabase;
using testsupport::TempDir;

// "Grid A" lies on BETA, which its group does not list; the datum keyed
// "Beta" differs from BETA only in letter case, and BETA's name is "Beta".
const std::vector<std::string> kRecords = {
    "D\tALPHA\tAlpha",         "D\tBeta\tBeta lower",     "D\tBETA\tBeta",
    "D\tGAMMA\tGamma",         "G\tTEST\tTest Grid\t0,3", "S\tGRID-A\tGrid A\t2\tMETERS",
    "S\tGRID-B\tGrid B\t0\tM", "G\tEMPTY\tEmpty\t0"};

TEST(CoordSysDatabase, look_ups_by_key_and_name) {
    TempDir dir;
    const auto db =
        CoordSysDatabase::open(dir.writeFile("datora.dat", testsupport::datoraText(kRecords)));
    ASSERT_TRUE(db);
    ASSERT_EQ(db->groupCount(), 2u);
    EXPECT_EQ(db->group(1).name(), "Empty");
    ASSERT_EQ(db->datumCount(), 4u);
    EXPECT_EQ(db->datum(2).key(), "BETA");

    const struct {
        const char* asked;
        const char* groupKey; // "" when none
    } groups[] = {{"TEST", "TEST"}, {"Test Grid", "TEST"}, {"test grid", ""}, {"", ""}};
    for (const auto& c : groups) {
        const auto group = db->findGroup(c.asked);
        EXPECT_EQ(group ? group->key() : "", c.groupKey) << c.asked;
    }
    const struct {
        const char* asked;
        const char* datumKey;
    } datums[] = {{"BETA", "BETA"},
                  {"Beta", "Beta"},
                  {"Beta lower", "Beta"},
                  {"Alpha", "ALPHA"},
                  {"alpha", ""}};
    for (const auto& c : datums) {
        const auto datum = db->findDatum(c.asked);
        EXPECT_EQ(datum ? datum->key() : "", c.datumKey) << c.asked;
    }

    const auto grid = db->findGroup("TEST");
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->systemCount(), 2u);
    const auto a = grid->findSystem("Grid A");
    ASSERT_TRUE(a && grid->findSystem("GRID-A"));
    EXPECT_EQ(a->key(), "GRID-A");
    EXPECT_EQ(a->units(), "METERS");
    EXPECT_EQ(a->datum().key(), "BETA");
    EXPECT_FALSE(grid->findSystem("grid a"));
    EXPECT_FALSE(db->findGroup("EMPTY")->findSystem("Grid A"));
    // Only keys the group lists, spelt exactly; names never.
    const struct {
        const char* key;
        bool valid;
    } valid[] = {{"ALPHA", true}, {"GAMMA", true},  {"BETA", false},
                 {"Beta", false}, {"Alpha", false}, {"", false}};
    for (const auto& c : valid)
        EXPECT_EQ(grid->datumKeyValid(c.key), c.valid) << c.key;

    EXPECT_THROW(db->group(2), std::out_of_range);
    EXPECT_THROW(db->datum(4), std::out_of_range);
    EXPECT_THROW(grid->system(2), std::out_of_range);
}

TEST(CoordSysDatabase, values_outlive_their_database_and_changed_files_are_read_again) {
    TempDir dir;
    const std::string file = dir.writeFile("datora.dat", testsupport::datoraText(kRecords));
    std::optional<CoordSysDatabase> db = CoordSysDatabase::open(file);
    ASSERT_TRUE(db);
    const auto system = db->findGroup("TEST")->system(1);
    db.reset();
    std::filesystem::remove(file);
    EXPECT_EQ(system.name(), "Grid B");
    EXPECT_EQ(system.datum().name(), "Alpha");
    std::string why;
    EXPECT_FALSE(CoordSysDatabase::open(file, &why));
    EXPECT_FALSE(why.empty());

    std::vector<std::string> renamed = kRecords;
    renamed[4] = "G\tTEST\tRenamed Test Grid\t0,3";
    dir.writeFile("datora.dat", testsupport::datoraText(renamed));
    db = CoordSysDatabase::open(file);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->group(0).name(), "Renamed Test Grid");
}

TEST(CoordSysDatabase, files_that_cannot_be_read_give_nothing_and_a_reason) {
    TempDir dir;
    std::string sealed = testsupport::datoraText(kRecords);
    std::string flipped = sealed;
    flipped[12] ^= 0x20;
    for (const std::string& path :
         {dir / "missing.dat", dir.writeFile("flipped.dat", flipped),
          dir.writeFile("cut.dat", sealed.substr(0, sealed.size() / 2)), dir / "", std::string()}) {
        std::string why;
        EXPECT_FALSE(CoordSysDatabase::open(path, &why)) << path;
        EXPECT_FALSE(why.empty()) << path;
    }
}

} // namespace
