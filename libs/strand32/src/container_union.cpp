// Systems compared as GDAL compares them (the same system written in other
// words is the same); extents turned through quill32's transformation.
#include "container_union.h"

#include <algorithm>

#include "crs_text.h"
#include "gdal_support.h"
#include "quill32/transform.h"

namespace strand32 {
namespace {

bool sameSystem(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    if (a.empty() || b.empty())
        return false;
    SrsPtr sa(OSRNewSpatialReference(a.c_str()));
    SrsPtr sb(OSRNewSpatialReference(b.c_str()));
    return sa && sb &&
           OSRIsSame(static_cast<OGRSpatialReferenceH>(sa.get()),
                     static_cast<OGRSpatialReferenceH>(sb.get())) != 0;
}

void include(std::optional<Extent>& into, const Extent& e) {
    if (!into) {
        into = e;
        return;
    }
    into->west = std::min(into->west, e.west);
    into->east = std::max(into->east, e.east);
    into->south = std::min(into->south, e.south);
    into->north = std::max(into->north, e.north);
}

} // namespace

void uniteLayers(FileFacts& facts) {
    facts.extent.reset();
    facts.crsWkt.clear();
    facts.crsName.clear();
    const LayerFacts* first = nullptr;
    bool common = true;
    for (const LayerFacts& layer : facts.layers) {
        if (!layer.extent && facts.layers.size() > 1)
            continue;
        if (first == nullptr)
            first = &layer;
        else if (!sameSystem(first->crsWkt, layer.crsWkt))
            common = false;
    }
    if (first == nullptr)
        return;
    if (common) {
        for (const LayerFacts& layer : facts.layers) {
            if (layer.extent)
                include(facts.extent, *layer.extent);
        }
        facts.crsWkt = first->crsWkt;
        facts.crsName = first->crsName;
        return;
    }
    ensureGdal();
    const auto wgs84 = crsFromCode("EPSG", 4326);
    if (!wgs84)
        return;
    for (const LayerFacts& layer : facts.layers) {
        quill32::LonLatExtent out;
        if (layer.extent && !layer.crsWkt.empty() &&
            quill32::extentToLonLat(layer.crsWkt, layer.extent->west, layer.extent->north,
                                    layer.extent->east, layer.extent->south, out))
            include(facts.extent, Extent{out.west, out.north, out.east, out.south});
    }
    facts.crsWkt = wgs84->wkt;
    facts.crsName = wgs84->name;
}

} // namespace strand32
