#pragma once
// A layer read once for everything a search asks of it: its extent and the
// definition of its coordinate system, exactly as layerExtent and layerCrs
// give them, and the other files the answer rests on, so that a caller who
// keeps answers can tell when one has gone stale. Shapefiles are read from
// their headers when these are plainly valid, everything else with GDAL.
#include <optional>
#include <string>
#include <vector>

#include "strand32/layer_info.h"

namespace strand32 {

struct LayerFootprint {
    std::optional<MaporaExtent> extent;
    std::optional<LayerCrs> crs;
    // Other files read for the answer (index, attributes, .prj, world file,
    // side-car files, a table's image): names in the layer's folder as bare
    // names (or relative to that folder), others as GDAL names them.
    std::vector<std::string> companions;
    // Read from the file's own header, without GDAL.
    bool fromHeader = false;
    // Why the file could not be opened as a layer of its kind; empty when it was.
    std::string error;
};

// Never throws for a bad file; a file that cannot be opened tells nothing.
LayerFootprint readLayerFootprint(const LayerRef& layer);

} // namespace strand32
