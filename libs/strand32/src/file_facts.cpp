// One reading of a file's facts: its layer read once (header readers first,
// GDAL for the rest), its system named and its extent turned into degrees
// with the coordinate-system library, and its objects counted on request.
#include "strand32/file_facts.h"

#include "strand32/layer_footprint.h"
#include "strand32/layer_info.h"

#include "quill32/identify.h"
#include "quill32/transform.h"

namespace strand32 {
namespace {

Extent extentOf(const MaporaExtent& e) {
    return Extent{e.west, e.north, e.east, e.south};
}

// The extent as an area in degrees meets it: as given when the system is
// not known or not projected; none when a projected one cannot be turned.
std::optional<Extent> lonLatOf(const std::optional<Extent>& extent, const std::string& wkt) {
    if (!extent || wkt.empty())
        return extent;
    quill32::LonLatExtent degrees;
    switch (quill32::projectedExtentToLonLat(wkt, extent->west, extent->north, extent->east,
                                             extent->south, degrees)) {
    case quill32::LonLatOutcome::NotProjected:
        return extent;
    case quill32::LonLatOutcome::Projected:
        return Extent{degrees.west, degrees.north, degrees.east, degrees.south};
    case quill32::LonLatOutcome::Failed:
        break;
    }
    return std::nullopt;
}

} // namespace

FileFacts readLayerFacts(const LayerRef& layer, FactsRequest request) {
    FileFacts facts;
    facts.kind = layer.type;
    facts.keysRead = request.keys;
    facts.countsRead = request.counts;
    LayerFootprint footprint = readLayerFootprint(layer);
    LayerFacts only;
    if (footprint.extent)
        only.extent = extentOf(*footprint.extent);
    if (footprint.crs) {
        only.crsWkt = std::move(footprint.crs->wkt);
        only.crsName = std::move(footprint.crs->name);
    }
    if (request.keys && !only.crsWkt.empty()) {
        CoordSysKeys keys{};
        if (quill32::identifyCoordSys(only.crsWkt, keys))
            only.keys = keys;
    }
    if (request.counts)
        only.counts = layerObjectCounts(layer);
    facts.extent = only.extent;
    facts.crsWkt = only.crsWkt;
    facts.crsName = only.crsName;
    facts.keys = only.keys;
    facts.counts = only.counts;
    facts.lonLat = lonLatOf(only.extent, only.crsWkt);
    facts.companions = std::move(footprint.companions);
    facts.error = std::move(footprint.error);
    facts.layers.push_back(std::move(only));
    return facts;
}

FileFacts readFileFacts(const std::string& path, FactsRequest request) {
    const auto layer = layerRefOf(path);
    if (!layer) {
        FileFacts facts;
        facts.error = "'" + path + "' is of no layer type";
        return facts;
    }
    return readLayerFacts(*layer, request);
}

} // namespace strand32
