// Reads a file's extent, coordinate system and keys through the map-view
// library's layer part and the coordinate-system library.
#include "finder/export/file_facts.h"

#include <quill32/identify.h>
#include <strand32/layer.h>
#include <strand32/layer_info.h>

namespace finder {

FileFacts fileFactsOf(const std::string& fullPath) {
    FileFacts facts;
    LayerDescriptor layer;
    if (!strand32::buildLayerDescriptor(fullPath, layer))
        return facts;
    try {
        facts.extent = strand32::layerExtent(layer);
        if (const auto crs = strand32::layerCrs(layer)) {
            facts.crsDefinition = crs->wkt;
            CoordSysKeys keys{};
            if (quill32::identifyCoordSys(crs->wkt, keys))
                facts.keys = keys;
        }
    } catch (...) {
        return FileFacts{}; // read as unknown, as the search does
    }
    return facts;
}

} // namespace finder
