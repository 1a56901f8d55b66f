#pragma once
// Surfaces on the WGS 84 ellipsoid by PROJ's geodesic calculations, to check
// the finder's coverage against: a ring whose edges are straight lines in
// longitude/latitude is split into pieces of at most 0.01 degrees first.
#include "box_shapefile.h"

#include <geodesic.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace testsupport {

using LonLatPoints = std::vector<std::array<double, 2>>; // longitude, latitude; closed

inline double geodesicArea(const LonLatPoints& ring) {
    geod_geodesic earth;
    geod_init(&earth, 6378137.0, 1 / 298.257223563);
    std::vector<double> lats, lons;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        const double dLon = ring[i + 1][0] - ring[i][0], dLat = ring[i + 1][1] - ring[i][1];
        const int pieces = std::max(1, static_cast<int>(std::ceil(std::hypot(dLon, dLat) / 0.01)));
        for (int k = 0; k < pieces; ++k) {
            lons.push_back(ring[i][0] + dLon * k / pieces);
            lats.push_back(ring[i][1] + dLat * k / pieces);
        }
    }
    double area = 0, perimeter = 0;
    geod_polygonarea(&earth, lats.data(), lons.data(), static_cast<int>(lats.size()), &area,
                     &perimeter);
    return std::abs(area);
}

inline double geodesicArea(const LonLatBox& b) {
    return geodesicArea({{b.west, b.south},
                         {b.east, b.south},
                         {b.east, b.north},
                         {b.west, b.north},
                         {b.west, b.south}});
}

} // namespace testsupport
