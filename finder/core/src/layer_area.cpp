#include "layer_area.h"

#include "layer_info.h" // strand32: the definition of a layer's coordinate system

#include <quill32/transform.h>
#include <strand32/mapora.h>

#include <string_view>

namespace finder {
namespace {

// WKT of a projected system, alone or as part of a compound or bound one.
bool isProjected(std::string_view wkt) {
    return wkt.find("PROJCRS[") != std::string_view::npos ||
           wkt.find("PROJCS[") != std::string_view::npos;
}

} // namespace

std::optional<AreaRect> layerExtentFor(const LayerDescriptor& layer, bool inDegrees) {
    MaporaExtent extent{};
    if (Mapora_LayerExtent(&layer, &extent) == 0)
        return std::nullopt;
    AreaRect rect{extent.west, extent.north, extent.east, extent.south};
    if (!inDegrees)
        return rect;
    std::optional<strand32::LayerCrs> crs;
    try {
        crs = strand32::layerCrs(layer);
    } catch (...) {
        crs.reset(); // read as unknown
    }
    // Without a known system the extent is compared as the file gives it.
    if (!crs || !isProjected(crs->wkt))
        return rect;
    quill32::LonLatExtent degrees;
    if (!quill32::extentToLonLat(crs->wkt, rect.x1, rect.y1, rect.x2, rect.y2, degrees))
        return std::nullopt;
    return AreaRect{degrees.west, degrees.north, degrees.east, degrees.south};
}

} // namespace finder
