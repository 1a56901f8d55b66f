#pragma once
// Rings in longitude/latitude as a plane: a ring that crosses the
// antimeridian, or goes round a pole, made into a polygon of the plane that
// covers what the ring outlines on the earth.
#include <vector>

#include "strand32/mapora_layer.h"
#include "strand32/mapora_map.h"

namespace strand32 {

using LonLatRing = std::vector<MaporaPoint>;

// The ring with each longitude moved by a multiple of 360 degrees so that no
// edge spans more than 180 degrees of longitude (the shorter way round), and
// closed (first point repeated at the end). A ring that then goes once round
// a pole is closed over that pole (the one on the side of its mean
// latitude): it becomes the cap between its outline and the pole. Points
// that are not finite are left out; nothing (empty) when fewer than three
// points remain. Longitudes may lie beyond +-180 afterwards.
LonLatRing continuousRing(const LonLatRing& ring);

// West, north, east and south of the ring's points as they stand (no turn
// taken); west > east and south > north for a ring without points.
MaporaExtent ringBounds(const LonLatRing& ring);

} // namespace strand32
