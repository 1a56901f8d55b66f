#pragma once
// The footprints and gaps of a map, kept as continuous rings with their
// bounds, drawn in pixels (each ring thinned to what a pixel shows) and
// found under a point.
#include <QImage>
#include <QRectF>
#include <QTransform>
#include <cstdint>
#include <vector>

#include "footprint_raster.h"
#include "strand32/map_footprint.h"

namespace strand32 {

class MapFootprints {
public:
    void set(std::vector<MapFootprint> footprints);
    void add(std::vector<MapFootprint> footprints);
    void select(const std::vector<std::uint64_t>& ids);
    void setGaps(std::vector<LonLatPolygon> gaps);
    void clear();
    bool empty() const { return shapes_.empty() && gaps_.empty(); }

    // Draws what lies in `visible` (longitude/latitude, y = south) into
    // `image` (ARGB32 premultiplied), through `toPixels` (to its pixels).
    void draw(QImage& image, const QTransform& toPixels, const QRectF& visible) const;
    // Ids of the footprints that hold `lonLat` or pass within `tolerance`
    // degrees of it.
    std::vector<std::uint64_t> idsAt(MaporaPoint lonLat, double tolerance) const;

private:
    struct Shape {
        std::uint64_t id = 0;
        bool selected = false;
        std::vector<LonLatRing> rings; // continuous
        QRectF bounds;                 // of the rings, y = south
    };
    static Shape shapeOf(std::uint64_t id, const std::vector<LonLatRing>& rings);

    std::vector<Shape> shapes_;
    std::vector<Shape> gaps_;
    // Scratch of draw(), kept to spare the allocations of every redraw.
    mutable FootprintRaster raster_;
    mutable std::vector<QPolygonF> rings_;
};

} // namespace strand32
