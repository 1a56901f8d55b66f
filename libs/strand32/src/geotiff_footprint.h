#pragma once
// Reading a GeoTIFF's footprint from its first directory when GDAL would
// read the same, else through GDAL.
#include "strand32/layer_footprint.h"

namespace strand32 {

// A .tif with nothing beside it (no world file, no .aux.xml, no table), of
// a plain image kind, placed by one tie point and a pixel scale: the extent
// from its tags, the system remembered for its GeoTIFF keys from an earlier
// file that GDAL read. Anything else through GDAL.
LayerFootprint readGeoTiffFootprint(const LayerRef& layer);

} // namespace strand32
