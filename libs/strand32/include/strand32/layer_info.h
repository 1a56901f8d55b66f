#pragma once
// What a layer tells about itself, for C++ callers: extent, the definition of
// its coordinate system, objects. The Mapora_Layer* functions are built on
// these. None of them throws for a bad file; they answer nothing instead.
#include <optional>
#include <string>

#include "quill32/coordsys_keys.h"
#include "strand32/file_facts.h"
#include "strand32/layer.h"
#include "strand32/mapora_layer.h"

namespace strand32 {

// Extent in the layer's own coordinates, west <= east and south <= north.
std::optional<MaporaExtent> layerExtent(const LayerRef& layer);

// Definition (WKT) and name of the layer's coordinate system.
struct LayerCrs {
    std::string wkt;
    std::string name;
};
std::optional<LayerCrs> layerCrs(const LayerRef& layer);

// Objects by kind of geometry; a raster counts as one other object, a photo
// placed by its GPS tags as one point.
std::optional<ObjectCounts> layerObjectCounts(const LayerRef& layer);

} // namespace strand32
