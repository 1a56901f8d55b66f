// The rules under which a GeoPackage's catalogue stands for GDAL's answer:
// feature tables only, each with its recorded extent (what GDAL's GetExtent
// returns) not shown stale by its index, and a system its file defines.
#include "geopackage_contents.h"

#include "container_union.h"
#include "crs_text.h"

namespace strand32 {
namespace {

bool undefined(const std::string& definition) {
    return definition.empty() || definition == "undefined";
}

std::optional<NamedCrs> systemOf(const GpkgTable& t) {
    if (!t.srsFound || t.srsId == 0 || t.srsId == -1)
        return std::nullopt;
    if (!undefined(t.definitionWkt2))
        return crsFromWkt(t.definitionWkt2);
    if (!undefined(t.definition))
        return crsFromWkt(t.definition);
    return std::nullopt;
}

} // namespace

std::optional<FileFacts> geoPackageFactsFromContents(const GpkgContents& contents, LayerType kind) {
    FileFacts facts;
    facts.kind = kind;
    for (const GpkgTable& t : contents.tables) {
        if (t.dataType == "attributes" || t.dataType == "aspatial" || t.name == "ogr_empty_table")
            continue;
        if (t.dataType != "features")
            return std::nullopt; // tiles, coverages and kinds of others: GDAL
        if (t.geometryColumn.empty())
            continue; // not a spatial table to GDAL either
        if (t.geometryType.empty() || !t.recorded || recordedExtentStale(t))
            return std::nullopt;
        const auto crs = systemOf(t);
        if (!crs)
            return std::nullopt;
        LayerFacts layer;
        layer.name = t.name;
        layer.geometryType = t.geometryType;
        layer.extent = t.recorded;
        layer.crsWkt = crs->wkt;
        layer.crsName = crs->name;
        facts.layers.push_back(std::move(layer));
    }
    if (facts.layers.empty()) {
        facts.kind = LayerType::None; // attribute tables only: not a layer
        facts.error = "no spatial layer";
    } else {
        uniteLayers(facts);
    }
    return facts;
}

} // namespace strand32
