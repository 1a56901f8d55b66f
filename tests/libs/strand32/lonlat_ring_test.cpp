// Rings in longitude/latitude made continuous: closed, unwrapped across the
// antimeridian the shorter way, closed over the pole they go round, points
// that are not finite left out, too few points giving nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "strand32/lonlat_ring.h"

namespace {

using strand32::LonLatRing;

std::string text(const LonLatRing& ring) {
    std::string out;
    for (const MaporaPoint& p : ring) {
        char point[64];
        std::snprintf(point, sizeof point, "(%g %g)", p.x, p.y);
        out += point;
    }
    return out;
}

TEST(ContinuousRing, unwrapped_closed_and_capped) {
    const struct {
        const char* what;
        LonLatRing ring;
        const char* expected;
    } cases[] = {
        {"a closed box stays as it is",
         {{0, 0}, {10, 0}, {10, 5}, {0, 5}, {0, 0}},
         "(0 0)(10 0)(10 5)(0 5)(0 0)"},
        {"an open ring is closed", {{0, 0}, {10, 0}, {10, 5}}, "(0 0)(10 0)(10 5)(0 0)"},
        {"across the antimeridian, east on",
         {{170, 0}, {-170, 0}, {-170, 5}, {170, 5}, {170, 0}},
         "(170 0)(190 0)(190 5)(170 5)(170 0)"},
        {"across it the other way, west on",
         {{-170, 0}, {170, 0}, {170, 5}, {-170, 5}},
         "(-170 0)(-190 0)(-190 5)(-170 5)(-170 0)"},
        {"round the north pole",
         {{-120, 70}, {0, 75}, {120, 70}, {-120, 70}},
         "(-120 70)(0 75)(120 70)(240 70)(240 90)(-120 90)(-120 70)"},
        {"round the south pole, open",
         {{60, -70}, {-60, -75}, {180, -70}},
         "(60 -70)(-60 -75)(-180 -70)(-300 -70)(-300 -90)(60 -90)(60 -70)"},
        {"points that are not finite are left out",
         {{0, 0}, {NAN, 1}, {10, 0}, {INFINITY, 3}, {10, 5}, {0, 5}, {0, 0}},
         "(0 0)(10 0)(10 5)(0 5)(0 0)"},
        {"two points are no ring", {{0, 0}, {10, 0}, {0, 0}}, ""},
        {"nor are three, all but one not finite", {{0, 0}, {NAN, 0}, {0, NAN}, {5, 5}}, ""},
        {"nothing", {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(strand32::continuousRing(c.ring)), c.expected) << c.what;
}

} // namespace
