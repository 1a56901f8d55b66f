#pragma once
// What an opened layer tells: its extent and the definition of its
// coordinate system, read from a LayerSource already open.
#include <optional>

#include "layer_source.h"
#include "strand32/layer_info.h"

namespace strand32 {

// The box around the four corners of a raster of `width` x `height` pixels
// placed by `gt`.
MaporaExtent cornersOf(const GeoTransform& gt, double width, double height);

// As layerExtent: the extent in the layer's own coordinates, finite.
std::optional<MaporaExtent> extentOf(const LayerSource& source, const LayerRef& layer);

// As layerCrs: the raster's own system, a companion's, or its control
// points'; the first layer's for vectors.
std::optional<LayerCrs> crsOf(const LayerSource& source);

} // namespace strand32
