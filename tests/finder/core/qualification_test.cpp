#include "finder/criteria_form.h"
#include "finder/qualification.h"
#include "finder/search_database.h"

#include "gdal_files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using namespace finder;
using testsupport::Rect;
using testsupport::TempDir;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";

// The area test alone, the corners typed into the boxes as given.
SearchCriteria areaCriteria(std::string nwx, std::string nwy, std::string sex, std::string sey,
                            bool mapShown, AreaMode mode) {
    CriteriaForm form;
    form.namedText = "*.*";
    form.northwestX = std::move(nwx);
    form.northwestY = std::move(nwy);
    form.southeastX = std::move(sex);
    form.southeastY = std::move(sey);
    form.latLonMode = mapShown;
    form.areaMode = mode;
    SearchCriteria c = buildCriteria(form, {}, DateUtil::todayUtc()).criteria;
    EXPECT_EQ(c.flags, CriteriaFlags::Area);
    return c;
}

// A picker's name; "( Any )" restricts nothing.
std::optional<std::string> picked(const char* name) {
    if (std::string_view(name) == "( Any )")
        return std::nullopt;
    return std::string(name);
}

// Which of the three modes a file passes: "I", "X", "N" for Inclusive,
// Exclusive, Intersection, concatenated.
std::string modesPassed(const std::string& path, const std::string& nwx, const std::string& nwy,
                        const std::string& sex, const std::string& sey, bool mapShown) {
    std::string passed;
    for (auto [mode, letter] :
         {std::pair{AreaMode::Inclusive, 'I'}, std::pair{AreaMode::Exclusive, 'X'},
          std::pair{AreaMode::Intersection, 'N'}}) {
        const SearchCriteria c = areaCriteria(nwx, nwy, sex, sey, mapShown, mode);
        if (CandidateTest(c, 0).areaPasses(path))
            passed += letter;
    }
    return passed;
}

TEST(CandidateTestArea, each_mode_over_every_relation_of_extent_and_area) {
    // Area 10..20 E, 40..50 N; extents written as shapefiles in EPSG:4326.
    struct Case {
        const char* name;
        Rect extent;
        const char* passes;
    } cases[] = {
        {"inside", {12, 48, 18, 42}, "I"},
        {"equal", {10, 50, 20, 40}, "I"},
        {"west", {0, 48, 5, 42}, "X"},
        {"east", {25, 48, 30, 42}, "X"},
        {"north", {12, 60, 18, 55}, "X"},
        {"south", {12, 35, 18, 30}, "X"},
        {"corner", {15, 55, 25, 45}, "N"},
        {"edge", {15, 48, 25, 42}, "N"},    // over the east edge, no corner of the area in it
        {"band", {0, 48, 30, 42}, "N"},     // across from west to east
        {"contains", {0, 60, 30, 30}, "N"}, // the whole area inside the extent
        {"touching", {0, 48, 10, 42}, "N"}, // shares the west edge: bounds included
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = testsupport::writeRectangleShapefile(
            dir / (std::string(c.name) + ".shp"), 4326, c.extent);
        EXPECT_EQ(modesPassed(path, "10", "50", "20", "40", true), c.passes) << c.name;
        // Typed in the boxes: "10" looks like a longitude, so the same degrees.
        EXPECT_EQ(modesPassed(path, "10", "50", "20", "40", false), c.passes) << c.name;
    }
}

TEST(CandidateTestArea, projected_extent_is_compared_in_degrees_with_a_lat_lon_area) {
    TempDir dir;
    // About 13.6-16.4 E, 47.8-49.6 N.
    const Rect metres{400000, 5500000, 600000, 5300000};
    const std::string shp = testsupport::writeRectangleShapefile(dir / "utm.shp", 32633, metres);
    const std::string tif = testsupport::writeGeoTiff(dir / "utm.tif", 32633, metres);
    for (const std::string& path : {shp, tif}) {
        // A lat/lon area that covers the file, one across it, one that misses it.
        EXPECT_EQ(modesPassed(path, "10", "52", "20", "45", true), "I") << path;
        EXPECT_EQ(modesPassed(path, "15", "52", "20", "45", true), "N") << path;
        EXPECT_EQ(modesPassed(path, "0", "10", "5", "0", true), "X") << path;
        // Corners in hemisphere notation in the boxes are degrees as well.
        EXPECT_EQ(modesPassed(path, "10E", "52N", "20E", "45N", false), "I") << path;
        // Plain numbers beyond 180 are metres, compared as the file gives them.
        EXPECT_EQ(modesPassed(path, "300000", "5600000", "700000", "5200000", false), "I") << path;
        EXPECT_EQ(modesPassed(path, "500000", "5600000", "700000", "5200000", false), "N") << path;
    }
    // The sample in UTM 33N: its metre extent spans about 32 W-66 E, 32-72 N.
    const std::string europe = kSamples + "europe/europe_utm33.shp";
    EXPECT_EQ(modesPassed(europe, "-40", "75", "70", "30", true), "I");
    EXPECT_EQ(modesPassed(europe, "-120", "50", "-70", "25", true), "X");
    // State Plane feet around New York against a lat/lon box of the north-east.
    const std::string newYork = kSamples + "usa/new_york_stateplane.shp";
    EXPECT_EQ(modesPassed(newYork, "-90", "55", "-55", "30", true), "I");
}

TEST(CandidateTestArea, files_without_a_known_system_or_extent) {
    // world.dxf has no coordinate system: its degrees are compared as they are.
    EXPECT_EQ(modesPassed(kSamples + "cad/world.dxf", "-180", "90", "180", "-90", true), "I");
    // europe.dgn holds metres without a system: a lat/lon area only overlaps it
    // by the numbers (its extent lies far outside any degree range).
    EXPECT_EQ(modesPassed(kSamples + "cad/europe.dgn", "-180", "90", "180", "-90", true), "X");
    for (const char* broken : {"broken/no_index.shp", "broken/garbage.mif", "misc/notes.txt"})
        EXPECT_EQ(modesPassed(kSamples + broken, "-180", "90", "180", "-90", true), "") << broken;
    // A shapefile without features states (0,0) - (-1,-1): no extent, in no
    // mode, not even off West Africa.
    TempDir dir;
    const std::string none = dir / "none.shp";
    ASSERT_EQ(std::system(
                  ("ogr2ogr -where 1=0 '" + none + "' '" + kSamples + "world/cities.shp'").c_str()),
              0);
    EXPECT_EQ(modesPassed(none, "-5", "5", "5", "-5", true), "");
}

class CandidateTestCoordSys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(database_.open(std::string(KAVREL_DATA_DIR) + "/datora.dat"));
    }

    bool passes(const std::string& file, const char* group, const char* system, const char* datum) {
        SearchCriteria c;
        c.flags = CriteriaFlags::CoordSysMatch;
        c.groupName = picked(group);
        c.systemName = picked(system);
        c.datumName = picked(datum);
        return CandidateTest(c, database_.handle()).coordSysPasses(kSamples + file);
    }

    SearchDatabase database_;
};

TEST_F(CandidateTestCoordSys, group_system_and_datum_select_the_files_of_that_system) {
    const char* const files[] = {"world/countries.shp", "europe/europe_utm33.shp",
                                 "europe/central_etrs89.shp", "usa/new_york_stateplane.shp"};
    struct Case {
        const char *group, *system, *datum;
        const char* passes; // one letter per file: 1 passes, 0 fails
    } cases[] = {
        {"Longitude / Latitude", "( Any )", "( Any )", "1000"},
        {"Longitude / Latitude", "Longitude / Latitude", "WGS84", "1000"},
        {"Longitude / Latitude", "( Any )", "ETRS89", "0000"},
        {"Universal Transverse Mercator (UTM)", "( Any )", "( Any )", "0110"},
        {"Universal Transverse Mercator (UTM)", "UTM zone 33N", "( Any )", "0110"},
        {"Universal Transverse Mercator (UTM)", "UTM zone 33N", "WGS84", "0100"},
        {"Universal Transverse Mercator (UTM)", "UTM zone 33N", "ETRS89", "0010"},
        {"Universal Transverse Mercator (UTM)", "UTM zone 32N", "( Any )", "0000"},
        {"State Plane NAD83", "( Any )", "( Any )", "0001"},
        {"State Plane NAD83", "New York Long Island (US Survey feet)", "( Any )", "0001"},
        {"State Plane NAD83", "New York Long Island (US Survey feet)", "WGS84", "0000"},
        {"No Such Group", "( Any )", "( Any )", "0000"},
        {"Universal Transverse Mercator (UTM)", "No Such System", "( Any )", "0000"},
        {"Universal Transverse Mercator (UTM)", "( Any )", "No Such Datum", "0000"},
    };
    for (const Case& c : cases) {
        std::string passed;
        for (const char* file : files)
            passed += passes(file, c.group, c.system, c.datum) ? '1' : '0';
        EXPECT_EQ(passed, c.passes) << c.group << " / " << c.system << " / " << c.datum;
    }
    // Files without a system, or no layer at all, never match.
    EXPECT_FALSE(passes("cad/world.dxf", "Longitude / Latitude", "( Any )", "( Any )"));
    EXPECT_FALSE(passes("misc/notes.txt", "Longitude / Latitude", "( Any )", "( Any )"));
}

TEST(CandidateTestEntry, size_limits_count_whole_kilobytes_of_the_full_size) {
    struct Case {
        SizeMode mode;
        std::uint32_t kb;
        std::uint64_t bytes;
        bool passes;
    } cases[] = {
        {SizeMode::AtLeast, 0, 0, true},
        {SizeMode::AtMost, 0, 1023, true},
        {SizeMode::AtMost, 0, 1024, false},
        {SizeMode::AtLeast, 1, 1023, false},
        {SizeMode::AtLeast, 1, 1024, true},
        {SizeMode::AtMost, 10, 10752, true}, // 10.5 KB, shown as 11KB
        {SizeMode::AtMost, 10, 11264, false},
        {SizeMode::AtLeast, 11, 10752, false},
        // Over 4 GB: the low 32 bits alone would read 0 and 1 KB.
        {SizeMode::AtMost, 0, std::uint64_t{1} << 32, false},
        {SizeMode::AtMost, 1, (std::uint64_t{1} << 32) + 1024, false},
        {SizeMode::AtLeast, 4194304, std::uint64_t{1} << 32, true},
    };
    for (const Case& c : cases) {
        SearchCriteria criteria;
        criteria.flags = CriteriaFlags::Size;
        criteria.sizeMode = c.mode;
        criteria.sizeKB = c.kb;
        FoundFile file;
        file.place("/data", "x.dat");
        file.size = c.bytes;
        EXPECT_EQ(passesCandidateTest(criteria, file, 0), c.passes)
            << static_cast<int>(c.mode) << " " << c.kb << " KB, " << c.bytes << " bytes";
    }
}

TEST(CandidateTestEntry, dates_compare_whole_days_in_utc) {
    const auto at = [](int y, int mo, int d, int h, int mi) {
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mon = mo - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_min = mi;
        return timePointOf(::timegm(&tm), 0);
    };
    SearchCriteria between;
    between.flags = CriteriaFlags::DateBetween;
    between.startDate = DateUtil::dosDate(1999, 3, 1);
    between.endDate = DateUtil::dosDate(1999, 3, 7);
    SearchCriteria months = between;
    months.flags = CriteriaFlags::DatePreviousMonths;
    struct Case {
        FileClock::time_point time;
        bool betweenPasses, monthsPasses;
    } cases[] = {
        {at(1999, 3, 7, 23, 30), true, true}, // late on the end day
        {at(1999, 3, 1, 0, 0), true, true},
        {at(1999, 2, 28, 23, 59), false, false},
        {at(1999, 3, 8, 0, 0), false, true}, // only the between mode has an end
    };
    for (const Case& c : cases) {
        FoundFile file;
        file.place("/data", "x.shp");
        file.modified = c.time;
        EXPECT_EQ(passesCandidateTest(between, file, 0), c.betweenPasses);
        EXPECT_EQ(passesCandidateTest(months, file, 0), c.monthsPasses);
    }
    SearchCriteria backwards = between; // start after end: nothing passes
    backwards.startDate = DateUtil::dosDate(1999, 12, 31);
    backwards.endDate = DateUtil::dosDate(1999, 1, 1);
    FoundFile file;
    file.modified = at(1999, 6, 1, 12, 0);
    EXPECT_FALSE(passesCandidateTest(backwards, file, 0));
}

TEST(CandidateTestEntry, files_of_no_layer_type_pass_only_without_the_tests_that_open_them) {
    FoundFile notes;
    notes.place(kSamples + "misc", "notes.txt");
    notes.size = 100;
    FoundFile shape;
    shape.place(kSamples + "world", "countries.shp");
    SearchCriteria c; // an explicit pattern: no test on
    EXPECT_TRUE(passesCandidateTest(c, notes, 0));
    c.flags = CriteriaFlags::Size;
    c.sizeMode = SizeMode::AtMost;
    EXPECT_TRUE(passesCandidateTest(c, notes, 0));
    c.flags |= CriteriaFlags::LayerTypes; // "( All types )"
    EXPECT_FALSE(passesCandidateTest(c, notes, 0));
    c.flags = CriteriaFlags::LayerTypes;
    EXPECT_TRUE(passesCandidateTest(c, shape, 0));
    const SearchCriteria world =
        areaCriteria("-180", "90", "180", "-90", true, AreaMode::Inclusive);
    EXPECT_FALSE(passesCandidateTest(world, notes, 0));
    EXPECT_TRUE(passesCandidateTest(world, shape, 0));
}

} // namespace
