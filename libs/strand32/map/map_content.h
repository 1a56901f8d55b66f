#pragma once
// What a map's widget draws: the view, the drawing properties, the layers
// and the footprints over them.
#include <vector>

#include "map_footprints.h"
#include "map_layer.h"
#include "strand32/map_view.h"
#include "strand32/mapora_map.h"

namespace strand32 {

struct MapContent {
    explicit MapContent(const MaporaRect& rect) : view(rect) {}

    MapView view;
    MapProperties properties{};
    std::vector<MapLayer> layers;
    MapFootprints footprints;
};

} // namespace strand32
