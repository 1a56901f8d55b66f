#include "layer_area.h"

#include "strand32/layer_info.h"
#include "lonlat_projector.h"

#include <strand32/mapora.h>

namespace finder {

std::optional<AreaRect> layerExtentFor(const LayerDescriptor& layer, LonLatProjector* projector) {
    MaporaExtent extent{};
    if (Mapora_LayerExtent(&layer, &extent) == 0)
        return std::nullopt;
    const AreaRect rect{extent.west, extent.north, extent.east, extent.south};
    if (projector == nullptr)
        return rect;
    std::optional<strand32::LayerCrs> crs;
    try {
        crs = strand32::layerCrs(layer);
    } catch (...) {
        crs.reset(); // read as unknown
    }
    // Without a known system the extent is compared as the file gives it.
    if (!crs)
        return rect;
    AreaRect degrees;
    switch (projector->toLonLat(crs->wkt, rect, degrees)) {
    case LonLatProjector::Outcome::NotProjected:
        return rect;
    case LonLatProjector::Outcome::Projected:
        return degrees;
    case LonLatProjector::Outcome::Failed:
        break;
    }
    return std::nullopt;
}

} // namespace finder
