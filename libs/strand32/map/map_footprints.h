#pragma once
// The footprints and gaps of a map, kept as continuous rings with their
// bounds, drawn in pixels (each ring thinned to what a pixel shows) and
// found under a point.
#include <QPainter>
#include <QRectF>
#include <QTransform>
#include <cstdint>
#include <vector>

#include "strand32/map_footprint.h"

namespace strand32 {

class MapFootprints {
public:
    void set(std::vector<MapFootprint> footprints);
    void select(const std::vector<std::uint64_t>& ids);
    void setGaps(std::vector<LonLatPolygon> gaps);
    void clear();
    bool empty() const { return shapes_.empty() && gaps_.empty(); }

    // Draws what lies in `visible` (longitude/latitude, y = south), through
    // `toPixels`.
    void draw(QPainter& painter, const QTransform& toPixels, const QRectF& visible) const;
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
};

} // namespace strand32
