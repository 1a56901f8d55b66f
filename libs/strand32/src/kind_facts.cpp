// Which reader answers for which kind.
#include "kind_facts.h"

#include "container_facts.h"
#include "flatgeobuf_facts.h"
#include "geopackage_contents.h"
#include "kind_by_content.h"
#include "point_cloud_facts.h"

namespace strand32 {

bool isBeyondTableKind(LayerType kind) {
    const auto code = static_cast<std::uint16_t>(kind);
    return code >= static_cast<std::uint16_t>(LayerType::GeoPackage) &&
           code <= static_cast<std::uint16_t>(LayerType::Laz);
}

FileFacts readKindFacts(const std::string& path, LayerType byName, FactsRequest request) {
    const LayerType kind = kindByContent(path, byName);
    if (kind == LayerType::None) {
        FileFacts facts;
        facts.error = "not a layer of its kind";
        return facts;
    }
    if (kind == LayerType::Las || kind == LayerType::Laz)
        return readPointCloudFacts(path, kind, request);
    std::vector<std::string> stale;
    // Counting reads every feature, which only GDAL does.
    if (kind == LayerType::GeoPackage && !request.counts) {
        if (const auto contents = readGeoPackageContents(path)) {
            if (auto facts = geoPackageFactsFromContents(*contents, kind))
                return std::move(*facts);
            stale = staleExtentTables(*contents);
        }
    }
    if (kind == LayerType::FlatGeobuf && !request.counts) {
        if (auto facts = readFlatGeobufFacts(path))
            return std::move(*facts);
    }
    return readContainerFacts(path, kind, request, stale);
}

} // namespace strand32
