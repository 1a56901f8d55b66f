#pragma once
// Reading a layer's footprint: through GDAL, and for a shapefile from its
// headers when GDAL would read the same.
#include "strand32/layer_footprint.h"

namespace strand32 {

// Everything through GDAL, with the files it read.
LayerFootprint readFootprintWithGdal(const LayerRef& layer);

// A shapefile from the box in its header when the .shp and .shx are plainly
// valid and agree and its .prj text has been met before in this process (the
// system GDAL made of that text is kept); otherwise through GDAL.
LayerFootprint readShapeFootprint(const LayerRef& layer);

} // namespace strand32
