// Unwrapping rings in longitude/latitude across the antimeridian and closing
// those that go round a pole.
#include "strand32/lonlat_ring.h"

#include <algorithm>
#include <cmath>

namespace strand32 {
namespace {

// `lon` moved by whole turns to within half a turn of `reference`.
double nearLongitude(double lon, double reference) {
    return lon - 360.0 * std::round((lon - reference) / 360.0);
}

} // namespace

LonLatRing continuousRing(const LonLatRing& ring) {
    LonLatRing out;
    out.reserve(ring.size() + 3);
    double latitudeSum = 0;
    for (const MaporaPoint& p : ring) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        const double lon = out.empty() ? p.x : nearLongitude(p.x, out.back().x);
        out.push_back({lon, p.y});
        latitudeSum += p.y;
    }
    // The closing edge, unwrapped as the others: a ring given closed ends
    // on its first point moved by the turns it made.
    const MaporaPoint first = out.empty() ? MaporaPoint{} : out.front();
    const std::size_t count = out.size();
    if (count > 0) {
        const double closing = nearLongitude(first.x, out.back().x);
        if (out.back().x != closing || out.back().y != first.y)
            out.push_back({closing, first.y});
    }
    if (count < 3 || out.size() < 4)
        return {};
    const double turns = std::round((out.back().x - first.x) / 360.0);
    if (turns == 0)
        return out;
    // Once round a pole: down the meridian of the end to the pole, along it
    // back to the meridian of the start, and up to the start.
    const double pole = latitudeSum >= 0 ? 90.0 : -90.0;
    const double end = out.back().x;
    out.push_back({end, pole});
    out.push_back({first.x, pole});
    out.push_back(first);
    return out;
}

MaporaExtent ringBounds(const LonLatRing& ring) {
    MaporaExtent b{INFINITY, -INFINITY, -INFINITY, INFINITY};
    for (const MaporaPoint& p : ring) {
        b.west = std::min(b.west, p.x);
        b.east = std::max(b.east, p.x);
        b.south = std::min(b.south, p.y);
        b.north = std::max(b.north, p.y);
    }
    return b;
}

} // namespace strand32
