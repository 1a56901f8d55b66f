// Extents of projected systems turned into longitude/latitude through the
// per-thread store of transformations: repeated and interleaved systems,
// systems that are not projected, bound and compound systems, extents that
// cannot be turned, and many systems on several threads at once.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "quill32/transform.h"

namespace {

using quill32::LonLatExtent;
using quill32::LonLatOutcome;
using quill32::projectedExtentToLonLat;

// A 2 km square around the central meridian of a UTM zone, 45° from the equator.
constexpr double kWest = 499000, kEast = 501000;
constexpr double kNorthN = 4985000, kSouthN = 4983000; // northern zones
constexpr double kNorthS = 5017000, kSouthS = 5015000; // southern zones (false northing)

std::string utmCode(int zone, bool north) {
    return "EPSG:" + std::to_string((north ? 32600 : 32700) + zone);
}

// The zone's extent in degrees, failing the test when it is not Projected.
LonLatExtent utmExtent(int zone, bool north) {
    LonLatExtent out;
    const LonLatOutcome outcome =
        north ? projectedExtentToLonLat(utmCode(zone, north), kWest, kNorthN, kEast, kSouthN, out)
              : projectedExtentToLonLat(utmCode(zone, north), kWest, kNorthS, kEast, kSouthS, out);
    EXPECT_EQ(outcome, LonLatOutcome::Projected) << utmCode(zone, north);
    return out;
}

// True when the extent surrounds the zone's central meridian at about 45° N or S.
bool aroundCentre(const LonLatExtent& e, int zone, bool north) {
    const double meridian = -183.0 + 6.0 * zone;
    const double latitude = north ? 45.0 : -45.0;
    return e.west < meridian && meridian < e.east && e.east - e.west < 0.05 &&
           e.south < latitude + 0.1 && latitude - 0.1 < e.north && e.north - e.south < 0.05;
}

void expectSame(const LonLatExtent& a, const LonLatExtent& b, double tolerance) {
    EXPECT_NEAR(a.west, b.west, tolerance);
    EXPECT_NEAR(a.north, b.north, tolerance);
    EXPECT_NEAR(a.east, b.east, tolerance);
    EXPECT_NEAR(a.south, b.south, tolerance);
}

TEST(ProjectedExtent, same_answer_twice_and_per_system_when_interleaved) {
    const LonLatExtent first33 = utmExtent(33, true);
    const LonLatExtent first32 = utmExtent(32, true);
    EXPECT_TRUE(aroundCentre(first33, 33, true));
    EXPECT_TRUE(aroundCentre(first32, 32, true));
    // Kept transformations answer exactly as freshly made ones did.
    for (int round = 0; round < 3; ++round) {
        expectSame(utmExtent(33, true), first33, 0);
        expectSame(utmExtent(32, true), first32, 0);
    }
    // The general form agrees with the projected-only one.
    LonLatExtent general;
    ASSERT_TRUE(quill32::extentToLonLat("EPSG:32633", kWest, kNorthN, kEast, kSouthN, general));
    expectSame(general, first33, 0);
}

TEST(ProjectedExtent, more_systems_than_are_kept_stay_right) {
    // 120 systems, twice over: the store is emptied on the way and refilled.
    for (int round = 0; round < 2; ++round)
        for (const bool north : {true, false})
            for (int zone = 1; zone <= 60; ++zone)
                EXPECT_TRUE(aroundCentre(utmExtent(zone, north), zone, north))
                    << utmCode(zone, north) << " round " << round;
}

TEST(ProjectedExtent, systems_that_are_not_projected_leave_the_extent_alone) {
    const char* const notProjected[] = {
        "EPSG:4326",                  // geographic, latitude first
        "EPSG:4267",                  // geographic on another datum
        "+proj=longlat +datum=WGS84", // PROJ string
        "EPSG:4979",                  // geographic 3D
        "EPSG:4326+5773",             // compound on a geographic system
        "EPSG:4978",                  // geocentric
        "EPSG:5773",                  // height only
        "garbage",
        "",
        "   ",
        "PROJCS[broken",
    };
    for (const char* definition : notProjected) {
        LonLatExtent out{1, 2, 3, 4};
        EXPECT_EQ(projectedExtentToLonLat(definition, 10, 50, 11, 49, out),
                  LonLatOutcome::NotProjected)
            << definition;
        expectSame(out, {1, 2, 3, 4}, 0); // untouched
        // Asked again, from the store.
        EXPECT_EQ(projectedExtentToLonLat(definition, 10, 50, 11, 49, out),
                  LonLatOutcome::NotProjected)
            << definition;
    }
    // A geographic system on another datum is still converted by the general form.
    LonLatExtent nad27;
    ASSERT_TRUE(quill32::extentToLonLat("EPSG:4267", -100, 40, -99, 39, nad27));
    EXPECT_NEAR(nad27.west, -100, 0.01);
    EXPECT_NEAR(nad27.south, 39, 0.01);
}

TEST(ProjectedExtent, bound_and_compound_systems_use_their_horizontal_part) {
    const LonLatExtent plain = utmExtent(33, true);
    const char* const projected[] = {
        // Bound: a shift to WGS 84 given in the definition.
        "+proj=utm +zone=33 +datum=WGS84 +towgs84=0,0,0 +units=m +no_defs",
        R"(PROJCS["UTM 33N",GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563],
            TOWGS84[0,0,0,0,0,0,0]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],
            PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],
            PARAMETER["central_meridian",15],PARAMETER["scale_factor",0.9996],
            PARAMETER["false_easting",500000],PARAMETER["false_northing",0],UNIT["metre",1]])",
        // Compound: UTM 33N with heights above the EGM96 geoid.
        "EPSG:32633+5773",
    };
    for (const char* definition : projected) {
        LonLatExtent out;
        ASSERT_EQ(projectedExtentToLonLat(definition, kWest, kNorthN, kEast, kSouthN, out),
                  LonLatOutcome::Projected)
            << definition;
        expectSame(out, plain, 1e-6);
    }
    // A bound system's own shift is applied: three metres show in the degrees.
    LonLatExtent shifted;
    ASSERT_EQ(projectedExtentToLonLat("+proj=utm +zone=33 +ellps=WGS84 +towgs84=-3,0,0 +units=m",
                                      kWest, kNorthN, kEast, kSouthN, shifted),
              LonLatOutcome::Projected);
    EXPECT_GT(std::abs(shifted.west - plain.west), 1e-6);
    EXPECT_LT(std::abs(shifted.west - plain.west), 1e-3);
}

TEST(ProjectedExtent, projected_extents_that_cannot_be_turned_fail) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        double west, north, east, south;
    };
    const Case cases[] = {
        {"west beyond east", kEast, kNorthN, kWest, kSouthN},
        {"south beyond north", kWest, kSouthN, kEast, kNorthN},
        {"not a number", nan, kNorthN, kEast, kSouthN},
        {"infinite", kWest, inf, kEast, kSouthN},
        {"far off the earth", 1e30, 1e31, 2e30, 1e30},
    };
    for (const Case& c : cases) {
        LonLatExtent out{1, 2, 3, 4};
        EXPECT_EQ(projectedExtentToLonLat("EPSG:32633", c.west, c.north, c.east, c.south, out),
                  LonLatOutcome::Failed)
            << c.name;
        expectSame(out, {1, 2, 3, 4}, 0);
        EXPECT_FALSE(quill32::extentToLonLat("EPSG:32633", c.west, c.north, c.east, c.south, out))
            << c.name;
    }
    // The system is still usable afterwards.
    EXPECT_TRUE(aroundCentre(utmExtent(33, true), 33, true));
}

TEST(ProjectedExtent, threads_keep_their_own_transformations) {
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &wrong] {
            for (int zone = 1 + t; zone <= 60; zone += 2)
                for (int again = 0; again < 2; ++again) {
                    LonLatExtent out;
                    if (projectedExtentToLonLat(utmCode(zone, true), kWest, kNorthN, kEast, kSouthN,
                                                out) != LonLatOutcome::Projected ||
                        !aroundCentre(out, zone, true))
                        ++wrong[t];
                }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

} // namespace
