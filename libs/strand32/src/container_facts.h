#pragma once
// A whole GDAL dataset of one of the kinds beyond the layer table read into
// per-layer facts, opened with the one driver of its kind: vector layers
// with their geometry type, extent and system (attribute-only tables are
// no layers), rasters and raster subdatasets (NetCDF variables, GeoPackage
// tile tables) as layers of their own, a photo without georeferencing as
// the point of its EXIF GPS position; the file as the union of its layers.
#include <string>
#include <vector>

#include "strand32/file_facts.h"

namespace strand32 {

// The GDAL driver that reads `kind`; nullptr for kinds GDAL does not read
// (point clouds) or the table's own kinds.
const char* gdalDriverOf(LayerType kind);

// `staleExtents`: GeoPackage tables whose recorded extent is known to be
// stale; their extent is computed from their geometries. Never throws for
// a bad file: `error` says why nothing is known.
FileFacts readContainerFacts(const std::string& path, LayerType kind, FactsRequest request,
                             const std::vector<std::string>& staleExtents = {});

} // namespace strand32
