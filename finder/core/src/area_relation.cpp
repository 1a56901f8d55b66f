#include "finder/area_relation.h"

#include <algorithm>
#include <cmath>

namespace finder {
namespace {

// a <= b, allowing for the rounding that extents pick up on their way
// through the file formats (a world file ending at 180.00000000000006).
bool atMost(double a, double b) {
    return a <= b + 1e-9 * std::max(1.0, std::fabs(b));
}

} // namespace

bool isInside(const AreaRect& extent, const AreaRect& area) {
    return atMost(area.x1, extent.x1) && atMost(extent.y1, area.y1) && atMost(extent.x2, area.x2) &&
           atMost(area.y2, extent.y2);
}

bool overlaps(const AreaRect& extent, const AreaRect& area) {
    return atMost(extent.x1, area.x2) && atMost(area.x1, extent.x2) && atMost(extent.y2, area.y1) &&
           atMost(area.y2, extent.y1);
}

bool relationMatches(AreaMode mode, const AreaRect& extent, const AreaRect& area) {
    switch (mode) {
    case AreaMode::Inclusive:
        return isInside(extent, area);
    case AreaMode::Intersection:
        return overlaps(extent, area) && !isInside(extent, area);
    case AreaMode::Exclusive:
        return !overlaps(extent, area);
    }
    return false;
}

} // namespace finder
