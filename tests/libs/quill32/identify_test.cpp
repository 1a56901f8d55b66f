// Identification of coordinate-system definitions: the keys of EPSG systems
// written as WKT or PROJ strings, their agreement with the database objects
// the pickers list, and extents transformed to longitude/latitude.
#include <gtest/gtest.h>

#include <atomic>
#include <proj.h>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "quill32/datora.h"
#include "quill32/identify.h"
#include "quill32/live_objects.h"
#include "quill32/transform.h"

namespace {

const std::string kDatabase = std::string(KAVREL_DATA_DIR) + "/datora.dat";

// The WKT PROJ writes for an EPSG code, without any code when asked, as a
// file written by a program that only knows the parameters would hold.
std::string wktOf(const char* code, PJ_WKT_TYPE type, bool dropIds) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* crs = proj_create(ctx, code);
    const char* wkt = crs ? proj_as_wkt(ctx, crs, type, nullptr) : nullptr;
    std::string out = wkt ? wkt : "";
    proj_destroy(crs);
    proj_context_destroy(ctx);
    if (dropIds)
        out = std::regex_replace(out, std::regex(R"(,\s*(ID|AUTHORITY)\["EPSG",[^\]]*\])"), "");
    return out;
}

struct Expected {
    const char* definition;
    const char* group;
    const char* system;
    const char* datum;
    const char* units;
};

const Expected kEpsgCases[] = {
    {"EPSG:4326", "LAT-LONG", "LAT-LONG", "WGS84", "DEGREES"},
    {"EPSG:32633", "UTM", "UTM-33N", "WGS84", "METERS"},
    {"EPSG:25833", "UTM", "UTM-33N", "ETRS89", "METERS"},
    {"EPSG:32718", "UTM", "UTM-18S", "WGS84", "METERS"},
    {"EPSG:2263", "STATE-PLANE-NAD83", "NEW-YORK-LONG-ISLAND-US-SURVEY-FEET", "NAD83", "US-FEET"},
    {"EPSG:32118", "STATE-PLANE-NAD83", "NEW-YORK-LONG-ISLAND", "NAD83", "METERS"},
    {"EPSG:26718", "UTM", "UTM-18N", "NAD27", "METERS"},
    {"EPSG:4267", "LAT-LONG", "LAT-LONG", "NAD27", "DEGREES"},
    {"EPSG:27700", "TRANSVERSE-MERCATOR", "BRITISH-NATIONAL-GRID", "OSGB36", "METERS"},
    {"EPSG:4456", "STATE-PLANE-NAD27", "NEW-YORK-LONG-ISLAND", "NAD27", "US-FEET"},
};

std::string field(const char (&f)[quill32::kKeySize]) {
    return f;
}

void expectKeys(const std::string& definition, const Expected& e, const std::string& label) {
    CoordSysKeys keys{};
    ASSERT_TRUE(quill32::identifyCoordSys(definition, keys)) << label;
    EXPECT_EQ(field(keys.group), e.group) << label;
    EXPECT_EQ(field(keys.system), e.system) << label;
    EXPECT_EQ(field(keys.datum), e.datum) << label;
    EXPECT_EQ(field(keys.units), e.units) << label;
}

TEST(Identify, epsg_systems_in_every_notation) {
    for (const auto& e : kEpsgCases) {
        expectKeys(e.definition, e, e.definition);
        expectKeys(wktOf(e.definition, PJ_WKT1_GDAL, false), e,
                   std::string(e.definition) + " WKT1");
        expectKeys(wktOf(e.definition, PJ_WKT1_ESRI, false), e,
                   std::string(e.definition) + " ESRI WKT (.prj)");
        expectKeys(wktOf(e.definition, PJ_WKT2_2019, true), e,
                   std::string(e.definition) + " WKT2 without ids");
    }
}

TEST(Identify, deprecated_code_names_its_replacement) {
    const Expected e{"EPSG:32018", "STATE-PLANE-NAD27", "NEW-YORK-LONG-ISLAND", "NAD27", "US-FEET"};
    expectKeys(e.definition, e, e.definition);
    expectKeys(wktOf(e.definition, PJ_WKT1_GDAL, false), e, "EPSG:32018 WKT1");
}

// WKT of a projection no EPSG system uses, in a linear unit of that name and size.
std::string tmercIn(const char* unit, const char* metres) {
    return std::string("PROJCS[\"custom\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS "
                       "84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\","
                       "0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],PARAMETER["
                       "\"latitude_of_origin\",0],PARAMETER[\"central_meridian\",13.3],"
                       "PARAMETER[\"scale_factor\",1],PARAMETER[\"false_easting\",1000],"
                       "PARAMETER[\"false_northing\",0],UNIT[\"") +
           unit + "\"," + metres + "]]";
}

// WKT of longitude/latitude on WGS 84 in an angular unit of that name and size.
std::string lonLatIn(const char* unit, const char* radians) {
    return std::string("GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,"
                       "298.257223563]],PRIMEM[\"Greenwich\",0],UNIT[\"") +
           unit + "\"," + radians + "]]";
}

TEST(Identify, proj_strings_and_systems_without_epsg_match) {
    const struct {
        std::string definition;
        const char *group, *system, *datum, *units;
    } cases[] = {
        {"+proj=utm +zone=33 +datum=WGS84 +units=m +no_defs", "UTM", "UTM-33N", "WGS84", "METERS"},
        {"+proj=longlat +datum=NAD83", "LAT-LONG", "LAT-LONG", "NAD83", "DEGREES"},
        // A UTM zone on a datum given only by its parameters still names the zone.
        {"+proj=utm +zone=12 +south +ellps=intl +towgs84=1,2,3 +units=m", "UTM", "UTM-12S", "", ""},
        // A projection no EPSG system uses falls in its method's group.
        {"+proj=tmerc +lat_0=0 +lon_0=13.3 +k=1 +x_0=1000 +y_0=0 +datum=WGS84 +units=us-ft",
         "TRANSVERSE-MERCATOR", "", "WGS84", "US-FEET"},
        // Units are keyed by their size, whatever their names say.
        {tmercIn("US survey feet", "0.3048006096"), "TRANSVERSE-MERCATOR", "", "WGS84", "US-FEET"},
        {tmercIn("International Feet", "0.3048"), "TRANSVERSE-MERCATOR", "", "WGS84", "FEET"},
        {tmercIn("US-FEET", "0.3048"), "TRANSVERSE-MERCATOR", "", "WGS84", "FEET"},
        {tmercIn("British foot (1936)", "0.3048007491"), "TRANSVERSE-MERCATOR", "", "WGS84",
         "BRITISH-FOOT-1936"},
        {lonLatIn("custom", "0.0174532925199433"), "LAT-LONG", "LAT-LONG", "WGS84", "DEGREES"},
        {lonLatIn("unknown", "0.01745329251994328"), "LAT-LONG", "LAT-LONG", "WGS84", "DEGREES"},
    };
    for (const auto& e : cases) {
        CoordSysKeys keys{};
        ASSERT_TRUE(quill32::identifyCoordSys(e.definition, keys)) << e.definition;
        EXPECT_EQ(field(keys.group), e.group) << e.definition;
        if (*e.system) {
            EXPECT_EQ(field(keys.system), e.system) << e.definition;
        }
        if (*e.datum) {
            EXPECT_EQ(field(keys.datum), e.datum) << e.definition;
        }
        if (*e.units) {
            EXPECT_EQ(field(keys.units), e.units) << e.definition;
        }
        EXPECT_LE(field(keys.system).size(), 63u);
    }
}

TEST(Identify, refuses_what_is_not_a_horizontal_system) {
    for (const char* bad : {"", "garbage", "EPSG:999999", "EPSG:5773" /* heights */,
                            "+proj=geocent +datum=WGS84", "GEOGCS[\"broken\""}) {
        CoordSysKeys keys{};
        keys.group[0] = 'x';
        EXPECT_FALSE(quill32::identifyCoordSys(bad, keys)) << bad;
        EXPECT_EQ(keys.group[0], 'x') << "keys left untouched";
    }
}

// The keys of a file must equal the keys of the objects the pickers list, so
// that the coordinate-system test of a search compares like with like.
TEST(Identify, keys_equal_those_of_the_database_objects) {
    const DatoraDatabase db = Datora_DBConnect(kDatabase.c_str());
    ASSERT_EQ(Datora_DBOpen(db, 1), 1);
    const auto before = quill32::liveObjectCount();
    const struct {
        const char* definition;
        const char* groupName;
        const char* systemName;
    } cases[] = {
        {"EPSG:4326", "Longitude / Latitude", "Longitude / Latitude"},
        {"EPSG:32633", "Universal Transverse Mercator (UTM)", "UTM zone 33N"},
        {"EPSG:25833", "Universal Transverse Mercator (UTM)", "UTM zone 33N"},
        {"EPSG:2263", "State Plane NAD83", "New York Long Island (US Survey feet)"},
        {"EPSG:4456", "State Plane NAD27", "New York Long Island"},
    };
    char buf[512];
    for (const auto& c : cases) {
        CoordSysKeys keys{};
        ASSERT_TRUE(quill32::identifyCoordSys(c.definition, keys)) << c.definition;
        const DatoraObject group = Datora_CoordSysGroupRead(db, c.groupName, 0);
        const DatoraObject system = Datora_CoordSysRead2(db, group, c.systemName, 0);
        const DatoraObject datum = Datora_DatumRead(db, keys.datum, 0);
        ASSERT_NE(system, 0u) << c.definition;
        ASSERT_NE(datum, 0u) << c.definition;
        Datora_ObjectGetKey(group, buf, sizeof buf);
        EXPECT_STREQ(buf, keys.group) << c.definition;
        Datora_ObjectGetKey(system, buf, sizeof buf);
        EXPECT_STREQ(buf, keys.system) << c.definition;
        EXPECT_EQ(Datora_CoordSysGroupDatumKeyValid(group, keys.datum), 1) << c.definition;
        Datora_ObjectRelease(datum);
        Datora_ObjectRelease(system);
        Datora_ObjectRelease(group);
    }
    // The system's own datum is the one of its usual EPSG system.
    CoordSysKeys keys{};
    ASSERT_TRUE(quill32::identifyCoordSys("EPSG:32118", keys));
    const DatoraObject group = Datora_CoordSysGroupRead(db, keys.group, 0);
    const DatoraObject system = Datora_CoordSysRead2(db, group, keys.system, 0);
    const DatoraObject own = Datora_CoordSysGetDatum(system);
    Datora_ObjectGetKey(own, buf, sizeof buf);
    EXPECT_STREQ(buf, keys.datum);
    for (DatoraObject o : {own, system, group})
        EXPECT_EQ(Datora_ObjectRelease(o), 1);
    EXPECT_EQ(quill32::liveObjectCount(), before);
    Datora_DBClose(db);
    Datora_DBDisconnect(db);
}

// The search identifies on its worker while the property pages may do so on
// another thread: each thread has its own PROJ context and shares the cache.
TEST(Identify, same_answers_from_concurrent_threads) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                const auto& e = kEpsgCases[(t + round) % std::size(kEpsgCases)];
                // A fresh definition each round, so the cache does not answer alone.
                const std::string definition =
                    round % 2 ? std::string(e.definition)
                              : std::string(e.definition) + std::string(round + t, ' ');
                CoordSysKeys keys{};
                if (!quill32::identifyCoordSys(definition, keys) ||
                    field(keys.system) != e.system || field(keys.datum) != e.datum)
                    ++wrong;
                const DatoraDatabase db = Datora_DBConnect(kDatabase.c_str());
                if (Datora_DBOpen(db, 1) != 1)
                    ++wrong;
                Datora_ObjectRelease(Datora_CoordSysGroupRead(db, keys.group, 0));
                Datora_DBClose(db);
                Datora_DBDisconnect(db);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
}

TEST(Transform, projected_extent_to_lon_lat) {
    quill32::LonLatExtent out;
    // A 100 km square on the central meridian of UTM zone 33N, near 50°N.
    ASSERT_TRUE(quill32::extentToLonLat("EPSG:32633", 450000, 5600000, 550000, 5500000, out));
    EXPECT_NEAR(out.west, 14.3, 0.1);
    EXPECT_NEAR(out.east, 15.7, 0.1);
    EXPECT_NEAR(out.south, 49.6, 0.1);
    EXPECT_NEAR(out.north, 50.6, 0.1);
    EXPECT_LT(out.west, out.east);
    // Longitude stays first for a geographic source with latitude-first axes.
    ASSERT_TRUE(quill32::extentToLonLat("EPSG:4326", 10, 50, 11, 49, out));
    EXPECT_NEAR(out.west, 10, 1e-9);
    EXPECT_NEAR(out.north, 50, 1e-9);
    EXPECT_FALSE(quill32::extentToLonLat("garbage", 0, 1, 1, 0, out));
    EXPECT_FALSE(quill32::extentToLonLat("EPSG:32633", 1, 0, 0, 1, out)) << "inverted extent";
}

} // namespace
