#pragma once
// The extent of a layer in the units the search area is given in.
#include "finder/area_relation.h"

#include <optional>
#include <strand32/layer.h>

namespace finder {

// The layer's extent in its own coordinates. When `inDegrees` is set and the
// layer's coordinate system is known and projected, the extent is turned
// into longitudes and latitudes (following its edges), so that it can be
// compared with an area read as degrees. Nothing when the extent is unknown
// or cannot be turned.
std::optional<AreaRect> layerExtentFor(const LayerDescriptor& layer, bool inDegrees);

} // namespace finder
