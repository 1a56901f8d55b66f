#pragma once
// What a map draws over its layers: the outlines of files (footprints) with
// an id each, and the parts of an area that no footprint covers (gaps).
#include <cstdint>
#include <vector>

#include "strand32/lonlat_ring.h"

namespace strand32 {

struct MapFootprint {
    std::uint64_t id = 0;
    // Rings in longitude/latitude (WGS 84), filled by the even-odd rule; a
    // ring across the antimeridian or round a pole is taken as
    // continuousRing() makes it.
    std::vector<LonLatRing> rings;
    bool selected = false;
};

// A polygon in longitude/latitude: its outer ring, then its holes.
using LonLatPolygon = std::vector<LonLatRing>;

} // namespace strand32
