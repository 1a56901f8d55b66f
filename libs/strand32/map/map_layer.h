#pragma once
// A layer of a map, read once and kept in longitude/latitude (WGS84) for
// drawing.
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include "strand32/layer.h"
#include "strand32/mapora_map.h"

namespace strand32 {

struct MapLayer {
    std::string name;
    std::uint16_t type = 0;
    bool visible = false;
    QPainterPath polygons; // filled, odd-even rule for holes
    QPainterPath lines;
    std::vector<QPointF> points;
    QImage image;     // a raster, reduced for display
    QRectF imageArea; // its longitude/latitude rectangle (y = south)
    MaporaExtent lonLatExtent{};
};

// Nothing when the file cannot be read or its coordinates cannot be brought
// to longitude/latitude.
std::optional<MapLayer> loadMapLayer(const LayerDescriptor& layer, const std::string& name);

} // namespace strand32
