#pragma once
// The extent of a layer in the units the search area is given in.
#include "finder/area_relation.h"

#include <optional>
#include <strand32/layer.h>

namespace finder {

class LonLatProjector;

// The layer's extent in its own coordinates. With a projector (the area is
// read as degrees) and a layer whose coordinate system is known and
// projected, the extent is turned into longitudes and latitudes, following
// its edges. Nothing when the extent is unknown or cannot be turned.
std::optional<AreaRect> layerExtentFor(const LayerDescriptor& layer, LonLatProjector* projector);

} // namespace finder
