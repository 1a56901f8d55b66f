#pragma once
// The extent of a layer in the units the search area is given in.
#include "finder/area_relation.h"

#include <optional>
#include <strand32/layer.h>

namespace finder {

// The layer's extent in its own coordinates. In degrees (the area is read as
// longitudes and latitudes), the extent of a layer whose coordinate system is
// known and projected is turned into longitudes and latitudes, following its
// edges. Nothing when the extent is unknown or cannot be turned.
std::optional<AreaRect> layerExtentFor(const LayerDescriptor& layer, bool inDegrees);

} // namespace finder
