// One reading of a file's facts: the kinds of the layer table from their
// layer (header readers first, GDAL for the rest), the kinds beyond it by
// their own readers; then, for both, the systems named with the
// coordinate-system library and the extent turned into degrees.
#include "strand32/file_facts.h"

#include <map>

#include "kind_facts.h"
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

// The keys of every layer's system and of the file's; each system named once.
void fillKeys(FileFacts& facts) {
    std::map<std::string, std::optional<CoordSysKeys>> named;
    const auto keysOf = [&named](const std::string& wkt) -> std::optional<CoordSysKeys> {
        if (wkt.empty())
            return std::nullopt;
        auto [it, added] = named.try_emplace(wkt);
        if (added) {
            CoordSysKeys keys{};
            if (quill32::identifyCoordSys(wkt, keys))
                it->second = keys;
        }
        return it->second;
    };
    for (LayerFacts& layer : facts.layers)
        layer.keys = keysOf(layer.crsWkt);
    facts.keys = keysOf(facts.crsWkt);
}

// A file of the layer table: its one layer, as the layer library reads it.
FileFacts readTableFacts(const LayerRef& layer, FactsRequest request) {
    FileFacts facts;
    facts.kind = layer.type;
    LayerFootprint footprint = readLayerFootprint(layer);
    LayerFacts only;
    if (footprint.extent)
        only.extent = extentOf(*footprint.extent);
    if (footprint.crs) {
        only.crsWkt = std::move(footprint.crs->wkt);
        only.crsName = std::move(footprint.crs->name);
    }
    if (request.counts)
        only.counts = layerObjectCounts(layer);
    facts.extent = only.extent;
    facts.crsWkt = only.crsWkt;
    facts.crsName = only.crsName;
    facts.counts = only.counts;
    facts.companions = std::move(footprint.companions);
    facts.error = std::move(footprint.error);
    facts.layers.push_back(std::move(only));
    return facts;
}

} // namespace

FileFacts readLayerFacts(const LayerRef& layer, FactsRequest request) {
    FileFacts facts = isBeyondTableKind(layer.type) ? readKindFacts(layer.file, layer.type, request)
                                                    : readTableFacts(layer, request);
    facts.keysRead = request.keys;
    facts.countsRead = request.counts;
    if (!request.counts) {
        facts.counts.reset();
        for (LayerFacts& l : facts.layers)
            l.counts.reset();
    }
    if (request.keys)
        fillKeys(facts);
    facts.lonLat = lonLatOf(facts.extent, facts.crsWkt);
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
