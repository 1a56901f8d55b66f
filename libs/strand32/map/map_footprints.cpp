// Footprints over a map: outlined and lightly filled, the selected ones
// highlighted, the gaps hatched (the colours are FootprintRaster's). A shape
// whose rings cross the antimeridian is also drawn (and found) one turn
// east or west, where the view shows it. Rings are thinned to pixels when
// drawn, and a footprint smaller than a pixel or two still shows as a dot.
#include "map_footprints.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "footprint_raster.h"

namespace strand32 {
namespace {

constexpr double kMinPixelStep = 0.75; // points closer than this are one
constexpr int kDotSize = 3;            // side of a footprint drawn as a dot
const double kTurns[] = {-360.0, 0.0, 360.0};

bool overlaps(const QRectF& a, const QRectF& b) {
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

QRectF boundsOf(const std::vector<LonLatRing>& rings) {
    double west = INFINITY, east = -INFINITY, south = INFINITY, north = -INFINITY;
    for (const LonLatRing& ring : rings)
        for (const MaporaPoint& p : ring) {
            west = std::min(west, p.x);
            east = std::max(east, p.x);
            south = std::min(south, p.y);
            north = std::max(north, p.y);
        }
    return west <= east ? QRectF(QPointF(west, south), QPointF(east, north)) : QRectF();
}

// The ring in pixels (a transformation without rotation), moved `turn`
// degrees east, without the points that fall on the pixel of the point kept
// before them.
void pixelRing(const LonLatRing& ring, double turn, const QTransform& toPixels,
               QPolygonF& polygon) {
    polygon.clear();
    polygon.reserve(static_cast<int>(ring.size()));
    const double sx = toPixels.m11(), sy = toPixels.m22();
    const double dx = toPixels.dx() + turn * sx, dy = toPixels.dy();
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const QPointF p(ring[i].x * sx + dx, ring[i].y * sy + dy);
        if (i > 0 && i + 1 < ring.size() && (p - polygon.back()).manhattanLength() < kMinPixelStep)
            continue;
        polygon.append(p);
    }
}

// Crossing count of a ray east of `p` with every ring: odd inside.
bool insideEvenOdd(const std::vector<LonLatRing>& rings, MaporaPoint p) {
    bool inside = false;
    for (const LonLatRing& ring : rings)
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const MaporaPoint& a = ring[i];
            const MaporaPoint& b = ring[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
    return inside;
}

double segmentDistance(MaporaPoint p, MaporaPoint a, MaporaPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool nearOutline(const std::vector<LonLatRing>& rings, MaporaPoint p, double tolerance) {
    for (const LonLatRing& ring : rings)
        for (std::size_t i = 1; i < ring.size(); ++i)
            if (segmentDistance(p, ring[i - 1], ring[i]) <= tolerance)
                return true;
    return false;
}

} // namespace

MapFootprints::Shape MapFootprints::shapeOf(std::uint64_t id,
                                            const std::vector<LonLatRing>& rings) {
    Shape shape;
    shape.id = id;
    for (const LonLatRing& ring : rings)
        if (LonLatRing continuous = continuousRing(ring); !continuous.empty())
            shape.rings.push_back(std::move(continuous));
    shape.bounds = boundsOf(shape.rings);
    return shape;
}

void MapFootprints::set(std::vector<MapFootprint> footprints) {
    shapes_.clear();
    add(std::move(footprints));
}

void MapFootprints::add(std::vector<MapFootprint> footprints) {
    shapes_.reserve(shapes_.size() + footprints.size());
    for (const MapFootprint& footprint : footprints) {
        Shape shape = shapeOf(footprint.id, footprint.rings);
        shape.selected = footprint.selected;
        if (!shape.rings.empty())
            shapes_.push_back(std::move(shape));
    }
}

void MapFootprints::select(const std::vector<std::uint64_t>& ids) {
    const std::unordered_set<std::uint64_t> chosen(ids.begin(), ids.end());
    for (Shape& shape : shapes_)
        shape.selected = chosen.count(shape.id) != 0;
}

void MapFootprints::setGaps(std::vector<LonLatPolygon> gaps) {
    gaps_.clear();
    for (const LonLatPolygon& gap : gaps)
        if (Shape shape = shapeOf(0, gap); !shape.rings.empty())
            gaps_.push_back(std::move(shape));
}

void MapFootprints::clear() {
    shapes_.clear();
    gaps_.clear();
}

void MapFootprints::draw(QImage& image, const QTransform& toPixels, const QRectF& visible) const {
    if (empty())
        return;
    FootprintRaster& raster = raster_;
    raster.reset(image.width(), image.height());
    std::vector<QPolygonF>& rings = rings_;
    const auto put = [&](const Shape& shape, std::uint8_t fill, std::uint8_t outline) {
        for (const double turn : kTurns) {
            const QRectF bounds = shape.bounds.translated(turn, 0);
            if (!overlaps(bounds, visible))
                continue;
            const QRectF pixels = toPixels.mapRect(bounds);
            if (pixels.width() < kDotSize && pixels.height() < kDotSize) {
                raster.block(pixels.center(), kDotSize, outline);
                continue;
            }
            // The polygons of the scratch list keep their room from shape to shape.
            rings.resize(shape.rings.size());
            for (std::size_t i = 0; i < shape.rings.size(); ++i)
                pixelRing(shape.rings[i], turn, toPixels, rings[i]);
            raster.fill(rings, fill);
            for (const QPolygonF& ring : rings)
                raster.outline(ring, outline);
        }
    };
    for (const Shape& shape : shapes_)
        put(shape, shape.selected ? FootprintRaster::SelectedFill : FootprintRaster::Fill,
            shape.selected ? FootprintRaster::SelectedOutline : FootprintRaster::Outline);
    for (const Shape& gap : gaps_)
        put(gap, FootprintRaster::Gap, FootprintRaster::GapOutline);
    raster.paint(image);
}

std::vector<std::uint64_t> MapFootprints::idsAt(MaporaPoint lonLat, double tolerance) const {
    std::vector<std::uint64_t> ids;
    for (const Shape& shape : shapes_)
        for (const double turn : kTurns) {
            const MaporaPoint p{lonLat.x - turn, lonLat.y};
            const QRectF near = shape.bounds.adjusted(-tolerance, -tolerance, tolerance, tolerance);
            if (p.x < near.left() || p.x > near.right() || p.y < near.top() || p.y > near.bottom())
                continue;
            if (insideEvenOdd(shape.rings, p) || nearOutline(shape.rings, p, tolerance)) {
                ids.push_back(shape.id);
                break;
            }
        }
    return ids;
}

} // namespace strand32
