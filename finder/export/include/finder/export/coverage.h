#pragma once
// How much of a search area the footprints of found files cover, measured
// as surface on the WGS 84 ellipsoid, and the parts of the area they leave
// uncovered.
#include <strand32/map_footprint.h>
#include <strand32/mapora_layer.h>

#include <optional>
#include <vector>

namespace finder {

struct Coverage {
    double areaSquareMetres = 0;
    double coveredSquareMetres = 0;
    double share = 0; // covered / area, 0 ... 1
    // The uncovered parts, longitudes within -180 ... 180 (a part across
    // the antimeridian comes as one polygon on each side).
    std::vector<strand32::LonLatPolygon> gaps;
};

// `area` is west, north, east, south in degrees, its edges along meridians
// and parallels; west > east crosses the antimeridian, and west -180 with
// east 180 goes all round. Each footprint is a ring in longitude/latitude
// on WGS 84, its edges straight in longitude/latitude; one that crosses the
// antimeridian or goes round a pole is taken as strand32::continuousRing
// makes it. Nothing when the area has no surface or lies off the earth.
std::optional<Coverage> areaCoverage(const MaporaExtent& area,
                                     const std::vector<strand32::LonLatRing>& footprints);

} // namespace finder
