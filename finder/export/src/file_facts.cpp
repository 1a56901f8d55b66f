// Reads a file's extent, coordinate system and keys through the map-view
// library's layer part (one reading of the file) and the coordinate-system
// library.
#include "finder/export/file_facts.h"

#include <quill32/identify.h>
#include <strand32/layer.h>
#include <strand32/layer_footprint.h>

namespace finder {

FileFacts fileFactsOf(const std::string& fullPath) {
    FileFacts facts;
    LayerDescriptor layer;
    if (!strand32::buildLayerDescriptor(fullPath, layer))
        return facts;
    try {
        // One reading, as the search's, giving what layerExtent and layerCrs give.
        const strand32::LayerFootprint footprint = strand32::readLayerFootprint(layer);
        facts.extent = footprint.extent;
        if (footprint.crs) {
            facts.crsDefinition = footprint.crs->wkt;
            CoordSysKeys keys{};
            if (quill32::identifyCoordSys(footprint.crs->wkt, keys))
                facts.keys = keys;
        }
    } catch (...) {
        return FileFacts{}; // read as unknown, as the search does
    }
    return facts;
}

} // namespace finder
