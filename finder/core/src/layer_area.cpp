#include "layer_area.h"

#include "strand32/layer_info.h"

#include <quill32/transform.h>
#include <strand32/mapora.h>

namespace finder {

std::optional<AreaRect> layerExtentFor(const LayerDescriptor& layer, bool inDegrees) {
    MaporaExtent extent{};
    if (Mapora_LayerExtent(&layer, &extent) == 0)
        return std::nullopt;
    const AreaRect rect{extent.west, extent.north, extent.east, extent.south};
    if (!inDegrees)
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
    quill32::LonLatExtent degrees;
    switch (
        quill32::projectedExtentToLonLat(crs->wkt, rect.x1, rect.y1, rect.x2, rect.y2, degrees)) {
    case quill32::LonLatOutcome::NotProjected:
        return rect;
    case quill32::LonLatOutcome::Projected:
        return AreaRect{degrees.west, degrees.north, degrees.east, degrees.south};
    case quill32::LonLatOutcome::Failed:
        break;
    }
    return std::nullopt;
}

} // namespace finder
