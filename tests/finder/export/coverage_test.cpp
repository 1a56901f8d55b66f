// Coverage of an area, checked against a separate calculation: the surface
// of each expected region as a geodesic polygon on WGS 84 (GeographicLib in
// PROJ) over its edges split finely, rather than the equal-area projection
// the coverage uses. Areas fully, half and not covered, across the
// antimeridian, at a pole (a polar stereographic file's footprint), and a
// UTM file's densified footprint; areas that have no surface.
#include "finder/export/coverage.h"
#include "finder/export/coverage_export.h"

#include <gtest/gtest.h>

#include <geodesic.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using finder::areaCoverage;
using strand32::LonLatRing;

constexpr double kStep = 0.01; // degrees: longest piece of an edge in the reference

LonLatRing box(double west, double south, double east, double north) {
    return {{west, south}, {east, south}, {east, north}, {west, north}, {west, south}};
}

// The geodesic surface of a ring whose edges are straight in
// longitude/latitude (the shorter way round, unless they go all round); a
// ring round a pole encloses the smaller side.
double referenceArea(const LonLatRing& ring) {
    geod_geodesic earth;
    geod_init(&earth, 6378137.0, 1 / 298.257223563);
    std::vector<double> lats, lons;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        double dLon = ring[i + 1].x - ring[i].x;
        if (std::abs(dLon) > 180 && std::abs(dLon) < 360)
            dLon -= std::copysign(360.0, dLon);
        const double dLat = ring[i + 1].y - ring[i].y;
        const int pieces = std::max(1, static_cast<int>(std::ceil(std::hypot(dLon, dLat) / kStep)));
        for (int k = 0; k < pieces; ++k) {
            lons.push_back(ring[i].x + dLon * k / pieces);
            lats.push_back(ring[i].y + dLat * k / pieces);
        }
    }
    double area = 0, perimeter = 0;
    geod_polygonarea(&earth, lats.data(), lons.data(), static_cast<int>(lats.size()), &area,
                     &perimeter);
    const double whole = 4 * M_PI * earth.c2;
    area = std::fmod(std::abs(area), whole);
    return std::min(area, whole - area);
}

// The outline of a projected extent, 32 points an edge, in WGS 84 degrees.
LonLatRing projectedOutline(int epsg, double minX, double minY, double maxX, double maxY) {
    OGRSpatialReference source, target;
    source.importFromEPSG(epsg);
    target.SetWellKnownGeogCS("WGS84");
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> t(
        OGRCreateCoordinateTransformation(&source, &target));
    const MaporaPoint corners[] = {{minX, minY}, {maxX, minY}, {maxX, maxY}, {minX, maxY}};
    LonLatRing ring;
    for (int edge = 0; edge < 4; ++edge)
        for (int k = 0; k < 32; ++k) {
            const MaporaPoint a = corners[edge], b = corners[(edge + 1) % 4];
            double x = a.x + (b.x - a.x) * k / 32.0, y = a.y + (b.y - a.y) * k / 32.0;
            EXPECT_TRUE(t && t->Transform(1, &x, &y));
            ring.push_back({x, y});
        }
    ring.push_back(ring.front());
    return ring;
}

TEST(AreaCoverage, share_and_gaps_agree_with_geodesic_surfaces) {
    const LonLatRing polar = projectedOutline(3995, -1.5e6, -1.5e6, 1.5e6, 1.5e6);
    const LonLatRing utm = projectedOutline(32633, 300000, 5000000, 700000, 5400000);
    struct Case {
        const char* what;
        MaporaExtent area; // west, north, east, south
        std::vector<LonLatRing> footprints;
        std::vector<LonLatRing> covered; // disjoint: the expected covered part
        std::size_t gaps;
    };
    const Case cases[] = {
        {"fully covered", {0, 50, 10, 40}, {box(-5, 35, 15, 55)}, {box(0, 40, 10, 50)}, 0},
        {"half covered by two overlapping files",
         {0, 50, 10, 40},
         {box(0, 40, 4, 50), box(2, 40, 5, 50)},
         {box(0, 40, 5, 50)},
         1},
        {"not covered", {0, 50, 10, 40}, {box(20, 0, 30, 10)}, {}, 1},
        // 170 E ... 170 W; one file written across the antimeridian, one
        // west of it: 172 ... 182 and 184 ... 188 of 170 ... 190.
        {"across the antimeridian",
         {170, 0, -170, -20},
         {{{172, -20}, {-178, -20}, {-178, 0}, {172, 0}, {172, -20}}, box(-176, -20, -172, 0)},
         {box(172, -20, 182, 0), box(184, -20, 188, 0)},
         3},
        {"a polar cap inside a polar stereographic file",
         {-180, 90, 180, 80},
         {polar},
         {box(-180, 80, 180, 90)},
         0},
        {"a polar cap around a polar stereographic file", {-180, 90, 180, 60}, {polar}, {polar}, 1},
        {"a projected file's densified footprint", {10, 50, 20, 44}, {utm}, {utm}, 1},
        // A bow tie, repaired into its two triangles.
        {"a ring that crosses itself",
         {0, 10, 10, 0},
         {{{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}},
         {{{0, 0}, {5, 5}, {0, 10}, {0, 0}}, {{10, 0}, {10, 10}, {5, 5}, {10, 0}}},
         2},
        // A photo's position and a line's box repair into no surface: beside
        // a file that covers part of the area, they cover nothing.
        {"footprints without a surface",
         {0, 10, 10, 0},
         {{{3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}},
          {{2, 2}, {2, 8}, {2, 8}, {2, 2}, {2, 2}},
          box(0, 0, 5, 10)},
         {box(0, 0, 5, 10)},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto coverage = areaCoverage(c.area, c.footprints);
        ASSERT_TRUE(coverage);
        const double east = c.area.west > c.area.east ? c.area.east + 360 : c.area.east;
        const double area = referenceArea(box(c.area.west, c.area.south, east, c.area.north));
        double covered = 0;
        for (const LonLatRing& ring : c.covered)
            covered += referenceArea(ring);
        EXPECT_NEAR(coverage->areaSquareMetres / area, 1.0, 1e-6);
        EXPECT_NEAR(coverage->share, covered / area, 1e-6);
        ASSERT_EQ(coverage->gaps.size(), c.gaps);
        // The gaps are the rest of the area, within -180 ... 180.
        double gaps = 0;
        for (const strand32::LonLatPolygon& gap : coverage->gaps)
            for (std::size_t i = 0; i < gap.size(); ++i) {
                gaps += (i == 0 ? 1 : -1) * referenceArea(gap[i]);
                for (const MaporaPoint& p : gap[i])
                    EXPECT_LE(std::abs(p.x), 180.0);
            }
        EXPECT_NEAR(gaps / area, 1.0 - coverage->share, 1e-6);
    }
}

TEST(AreaCoverage, areas_without_surface_give_nothing) {
    const std::vector<LonLatRing> footprint{box(0, 0, 10, 10)};
    const MaporaExtent bad[] = {
        {0, 10, 10, 10},   {0, 5, 10, 10},  {5, 10, 5, 0},        {0, 91, 10, 0},
        {-181, 10, 10, 0}, {0, 10, NAN, 0}, {0, INFINITY, 10, 0},
    };
    for (const MaporaExtent& area : bad)
        EXPECT_FALSE(areaCoverage(area, footprint))
            << area.west << " " << area.north << " " << area.east << " " << area.south;
    // Footprints of fewer than three points, or of none that are finite,
    // cover nothing.
    const auto coverage = areaCoverage(
        {0, 10, 10, 0}, {{{1, 1}, {2, 2}}, {{NAN, 1}, {NAN, 2}, {3, NAN}, {NAN, 1}}, {}});
    ASSERT_TRUE(coverage);
    EXPECT_EQ(coverage->share, 0.0);
    EXPECT_EQ(coverage->gaps.size(), 1u);
}

TEST(CoverageTexts, the_share_shows_in_whole_percents_never_rounded_to_all_or_none) {
    struct Case {
        double share;
        const char* text;
    } cases[] = {
        {0.0, "Area covered: 0%"},          {1e-9, "Area covered: 0%"},
        {0.001, "Area covered: 1%"},        {0.004999, "Area covered: 1%"},
        {0.87, "Area covered: 87%"},        {0.8749, "Area covered: 87%"},
        {0.875, "Area covered: 88%"},       {0.996, "Area covered: 99%"},
        {0.9999, "Area covered: 99%"},      {1 - 1e-9, "Area covered: 100%"},
        {1.0, "Area covered: 100%"},        {-0.5, "Area covered: 0%"},
        {std::nan(""), "Area covered: 0%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(finder::areaCoveredText(c.share), c.text) << c.share;
}

} // namespace
