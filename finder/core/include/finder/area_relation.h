#pragma once
// How a file's extent relates to the search area. Both are rectangles in the
// order west X, north Y, east X, south Y; every bound is included.
#include "finder/search_criteria.h"

namespace finder {

// The extent lies wholly inside the area.
bool isInside(const AreaRect& extent, const AreaRect& area);

// Extent and area share at least one point (touching edges count). Both
// tests allow a difference of a billionth of the value for rounding.
bool overlaps(const AreaRect& extent, const AreaRect& area);

// Inclusive: inside. Intersection: overlapping and not inside. Exclusive:
// no overlap. A band across the area, or an extent reaching in over one
// edge, is therefore Intersection even when it holds none of the area's
// corners.
bool relationMatches(AreaMode mode, const AreaRect& extent, const AreaRect& area);

} // namespace finder
