// The database through the Datora_* functions: opening good and damaged
// files, the groups, systems and datums the pickers list, and the release of
// every object handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "quill32/datora.h"
#include "quill32/live_objects.h"

namespace {

const std::string kDatabase = std::string(KAVREL_DATA_DIR) + "/datora.dat";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Opens a database as the pickers do; 0 when it cannot be opened.
DatoraDatabase openDatabase(const std::string& path) {
    const DatoraDatabase db = Datora_DBConnect(path.c_str());
    if (db == 0)
        return 0;
    if (Datora_DBOpen(db, 1) == 0) {
        Datora_DBDisconnect(db);
        return 0;
    }
    return db;
}

void closeDatabase(DatoraDatabase db) {
    Datora_DBClose(db);
    Datora_DBDisconnect(db);
}

std::string key(DatoraObject object) {
    char buf[512];
    return Datora_ObjectGetKey(object, buf, sizeof buf) ? buf : "";
}

std::string name(DatoraObject object) {
    char buf[260];
    return Datora_ObjectGetName(object, buf, sizeof buf) ? buf : "";
}

class Database : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = quill32::liveObjectCount();
        db_ = openDatabase(kDatabase);
        ASSERT_NE(db_, 0u) << kDatabase;
    }
    void TearDown() override {
        closeDatabase(db_);
        EXPECT_EQ(quill32::liveObjectCount(), objectsBefore_) << "an object was not released";
    }
    std::vector<std::string> systemsOf(const char* group) {
        std::vector<std::string> out;
        const DatoraObject g = Datora_CoordSysGroupRead(db_, group, 0);
        char buf[260];
        for (int more = Datora_DBFirstCoordSysString(db_, g, buf, sizeof buf, 0); more;
             more = Datora_DBNextCoordSysString(db_, buf, sizeof buf, 0))
            out.push_back(buf);
        Datora_ObjectRelease(g);
        return out;
    }

    DatoraDatabase db_ = 0;
    std::size_t objectsBefore_ = 0;
};

TEST(DatabaseFile, damaged_files_fail_to_open_without_crashing) {
    const std::string good = readAll(kDatabase);
    ASSERT_GT(good.size(), 1000u);
    const auto dir = std::filesystem::temp_directory_path() / "quill32-damaged";
    std::filesystem::create_directories(dir);
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x20; // one changed letter: checksum mismatch
    std::string resealedTail = good.substr(0, good.size() / 2);
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"truncated", good.substr(0, good.size() / 2)},
        {"truncated-at-line", good.substr(0, good.rfind('\n', good.size() - 2) + 1)},
        {"garbage", std::string(4096, '\xA5')},
        {"one-flipped-byte", flipped},
        {"other-format", "DATORA\t99\nEND\t0\t00000000\n"},
        {"binary-zeros", std::string(100, '\0')},
    };
    for (const auto& c : cases) {
        const auto path = (dir / c.name).string();
        std::ofstream(path, std::ios::binary) << c.content;
        const DatoraDatabase db = Datora_DBConnect(path.c_str());
        ASSERT_NE(db, 0u) << c.name; // the file exists: connecting works
        EXPECT_EQ(Datora_DBOpen(db, 1), 0) << c.name;
        EXPECT_EQ(Datora_DBFirstCoordSysGroup(db), 0u) << c.name;
        EXPECT_EQ(Datora_DBDisconnect(db), 1) << c.name;
    }
    EXPECT_EQ(Datora_DBConnect((dir / "missing.dat").c_str()), 0u);
    EXPECT_EQ(Datora_DBConnect(dir.c_str()), 0u); // a folder
    EXPECT_EQ(Datora_DBConnect(""), 0u);
    EXPECT_EQ(Datora_DBConnect(nullptr), 0u);
    std::filesystem::remove_all(dir);
}

TEST(DatabaseFile, failed_calls_say_why_and_success_clears) {
    const auto dir = std::filesystem::temp_directory_path() / "quill32-last-error";
    std::filesystem::create_directories(dir);
    const std::string cut = (dir / "cut.dat").string();
    std::ofstream(cut, std::ios::binary) << readAll(kDatabase).substr(0, 1000);
    const DatoraDatabase cutDb = Datora_DBConnect(cut.c_str());
    ASSERT_NE(cutDb, 0u);
    const std::string missing = (dir / "missing.dat").string();
    const struct {
        const char* name;
        std::function<bool()> fails; // the call, true when it failed
        std::string mentions;
    } cases[] = {
        {"missing file", [&] { return Datora_DBConnect(missing.c_str()) == 0; }, "missing.dat"},
        {"no file named", [] { return Datora_DBConnect(nullptr) == 0; }, "no database file"},
        {"truncated file", [&] { return Datora_DBOpen(cutDb, 1) == 0; }, "cut.dat"},
        {"unknown handle", [] { return Datora_DBOpen(0xDEADBEEF, 1) == 0; }, "no database"},
    };
    char text[512];
    for (const auto& c : cases) {
        ASSERT_TRUE(c.fails()) << c.name;
        const int length = Datora_LastErrorText(text, sizeof text);
        EXPECT_EQ(length, static_cast<int>(std::strlen(text))) << c.name;
        EXPECT_NE(std::string(text).find(c.mentions), std::string::npos) << c.name << ": " << text;
        char degrees[64];
        ASSERT_NE(Datora_LatToString(45.5, -1, degrees, sizeof degrees), 0);
        EXPECT_EQ(Datora_LastErrorText(text, sizeof text), 0) << c.name << ": " << text;
    }
    Datora_DBDisconnect(cutDb);
    std::filesystem::remove_all(dir);
}

TEST(DatabaseFile, unknown_handles_are_refused) {
    char buf[64] = "x";
    EXPECT_EQ(Datora_DBOpen(0, 1), 0);
    EXPECT_EQ(Datora_DBOpen(0xDEADBEEF, 1), 0);
    EXPECT_EQ(Datora_DBClose(12345), 0);
    EXPECT_EQ(Datora_DBDisconnect(12345), 0);
    EXPECT_EQ(Datora_ObjectRelease(0), 0);
    EXPECT_EQ(Datora_ObjectGetKey(777777, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Datora_CoordSysGetDatum(777777), 0u);
    EXPECT_EQ(Datora_DBFirstDatumString(777777, buf, sizeof buf, 0), 0);
}

TEST_F(Database, groups_come_in_order_with_readable_names) {
    std::vector<std::string> keys, names;
    for (DatoraObject g = Datora_DBFirstCoordSysGroup(db_); g;
         g = Datora_DBNextCoordSysGroup(db_)) {
        keys.push_back(key(g));
        names.push_back(name(g));
        EXPECT_EQ(Datora_ObjectRelease(g), 1);
        EXPECT_EQ(Datora_ObjectRelease(g), 0) << "released twice";
    }
    ASSERT_GE(keys.size(), 6u);
    EXPECT_EQ(keys[0], "LAT-LONG");
    EXPECT_EQ(names[0], "Longitude / Latitude");
    EXPECT_EQ(keys[1], "UTM");
    EXPECT_EQ(keys[2], "STATE-PLANE-NAD83");
    EXPECT_EQ(keys[3], "STATE-PLANE-NAD27");
    EXPECT_NE(std::find(keys.begin(), keys.end(), "TRANSVERSE-MERCATOR"), keys.end());
    for (const auto& k : keys)
        EXPECT_LE(k.size(), 63u) << k;
    // Every group can be read back by the name the picker shows.
    for (const auto& n : names) {
        const DatoraObject g = Datora_CoordSysGroupRead(db_, n.c_str(), 0);
        EXPECT_NE(g, 0u) << n;
        Datora_ObjectRelease(g);
    }
    EXPECT_EQ(Datora_CoordSysGroupRead(db_, "No Such Group", 0), 0u);
}

TEST_F(Database, utm_lists_every_zone_and_lat_long_one_system) {
    const auto utm = systemsOf("Universal Transverse Mercator (UTM)");
    ASSERT_EQ(utm.size(), 120u);
    EXPECT_EQ(utm.front(), "UTM zone 1N");
    EXPECT_EQ(utm[32], "UTM zone 33N");
    EXPECT_EQ(utm.back(), "UTM zone 60S");
    EXPECT_EQ(systemsOf("LAT-LONG"), std::vector<std::string>{"Longitude / Latitude"});
    EXPECT_TRUE(systemsOf("No Such Group").empty());
    // The enumeration ends and stays ended.
    char buf[260];
    EXPECT_EQ(Datora_DBNextCoordSysString(db_, buf, sizeof buf, 0), 0);
}

TEST_F(Database, system_datum_and_group_validity) {
    const DatoraObject utm = Datora_CoordSysGroupRead(db_, "UTM", 0);
    const DatoraObject zone = Datora_CoordSysRead2(db_, utm, "UTM zone 33N", 0);
    ASSERT_NE(zone, 0u);
    EXPECT_EQ(key(zone), "UTM-33N");
    const DatoraObject own = Datora_CoordSysGetDatum(zone);
    EXPECT_EQ(key(own), "WGS84");
    EXPECT_EQ(Datora_CoordSysRead2(db_, utm, "UTM zone 61N", 0), 0u);
    EXPECT_EQ(Datora_CoordSysRead2(db_, own, "UTM zone 33N", 0), 0u) << "not a group";

    struct {
        const char* group;
        const char* datum;
        int valid;
    } const cases[] = {
        {"UTM", "WGS84", 1},
        {"UTM", "ETRS89", 1},
        {"UTM", "NAD83", 1},
        {"STATE-PLANE-NAD83", "NAD83", 1},
        {"STATE-PLANE-NAD83", "NAD27", 0},
        {"STATE-PLANE-NAD27", "NAD27", 1},
        {"LAT-LONG", "WGS84", 1},
        {"LAT-LONG", "no such datum", 0},
    };
    for (const auto& c : cases) {
        const DatoraObject g = Datora_CoordSysGroupRead(db_, c.group, 0);
        ASSERT_NE(g, 0u) << c.group;
        EXPECT_EQ(Datora_CoordSysGroupDatumKeyValid(g, c.datum), c.valid)
            << c.group << " " << c.datum;
        Datora_ObjectRelease(g);
    }
    EXPECT_EQ(Datora_CoordSysGroupDatumKeyValid(zone, "WGS84"), 0) << "not a group";

    // The datum keys of the whole database: unique, short, and readable back.
    std::vector<std::string> datums;
    char buf[256];
    for (int more = Datora_DBFirstDatumString(db_, buf, sizeof buf, 0); more;
         more = Datora_DBNextDatumString(db_, buf, sizeof buf, 0))
        datums.push_back(buf);
    EXPECT_GT(datums.size(), 300u);
    std::set<std::string> unique(datums.begin(), datums.end());
    EXPECT_EQ(unique.size(), datums.size());
    for (const char* k : {"WGS84", "NAD83", "NAD27", "ETRS89", "ED50", "OSGB36"}) {
        EXPECT_TRUE(unique.count(k)) << k;
        const DatoraObject d = Datora_DatumRead(db_, k, 0);
        EXPECT_EQ(key(d), k);
        Datora_ObjectRelease(d);
    }
    Datora_ObjectRelease(own);
    Datora_ObjectRelease(zone);
    Datora_ObjectRelease(utm);
}

TEST_F(Database, objects_outlive_their_database_and_count_exactly) {
    const DatoraDatabase other = openDatabase(kDatabase);
    ASSERT_NE(other, 0u);
    const auto before = quill32::liveObjectCount();
    const DatoraObject g = Datora_CoordSysGroupRead(other, "UTM", 0);
    const DatoraObject s = Datora_CoordSysRead2(other, g, "UTM-33S", 0); // by key
    EXPECT_EQ(quill32::liveObjectCount(), before + 2);
    closeDatabase(other);
    EXPECT_EQ(Datora_CoordSysGroupRead(other, "UTM", 0), 0u) << "closed";
    EXPECT_EQ(name(s), "UTM zone 33S"); // still readable after close
    char small[4];
    EXPECT_EQ(Datora_ObjectGetName(s, small, sizeof small), 1);
    EXPECT_STREQ(small, "UTM"); // cut to the buffer
    EXPECT_EQ(Datora_ObjectGetName(s, small, 0), 0);
    EXPECT_EQ(Datora_ObjectRelease(s), 1);
    EXPECT_EQ(Datora_ObjectRelease(g), 1);
    EXPECT_EQ(quill32::liveObjectCount(), before);
}

} // namespace
