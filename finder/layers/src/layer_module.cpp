// libkavrel_layers: a file's facts read with the map-view library (one
// opening of the file) and its system named and turned into degrees with
// the coordinate-system library, exactly as Mapora_LayerExtent,
// Mapora_LayerCoordSys and the conversion of an extent to degrees do.
#include "finder/layer_facts.h"

#include <quill32/identify.h>
#include <quill32/transform.h>
#include <strand32/layer.h>
#include <strand32/layer_footprint.h>

namespace finder {
namespace {

std::optional<FactsRect> lonLatOf(const std::optional<FactsRect>& extent,
                                  const std::optional<strand32::LayerCrs>& crs) {
    // Without a known system the extent is compared as the file gives it.
    if (!extent || !crs)
        return extent;
    quill32::LonLatExtent degrees;
    switch (quill32::projectedExtentToLonLat(crs->wkt, extent->west, extent->north, extent->east,
                                             extent->south, degrees)) {
    case quill32::LonLatOutcome::NotProjected:
        return extent;
    case quill32::LonLatOutcome::Projected:
        return FactsRect{degrees.west, degrees.north, degrees.east, degrees.south};
    case quill32::LonLatOutcome::Failed:
        break;
    }
    return std::nullopt;
}

bool readFacts(const char* path, bool withKeys, LayerFacts& facts) noexcept {
    try {
        facts = LayerFacts{};
        LayerDescriptor layer;
        if (path == nullptr || !strand32::buildLayerDescriptor(path, layer))
            return false;
        strand32::LayerFootprint footprint = strand32::readLayerFootprint(layer);
        if (footprint.extent) {
            const MaporaExtent& e = *footprint.extent;
            facts.extent = FactsRect{e.west, e.north, e.east, e.south};
        }
        facts.keysRead = withKeys;
        if (withKeys && footprint.crs) {
            CoordSysKeys keys{};
            if (quill32::identifyCoordSys(footprint.crs->wkt, keys))
                facts.keys = keys;
        }
        facts.lonLat = lonLatOf(facts.extent, footprint.crs);
        facts.companions = std::move(footprint.companions);
        return true;
    } catch (...) {
        facts = LayerFacts{};
        return false;
    }
}

constexpr LayerModule kModule{kLayerModuleVersion, &readFacts};

} // namespace
} // namespace finder

extern "C" const finder::LayerModule* kavrel_layer_module() {
    return &finder::kModule;
}
