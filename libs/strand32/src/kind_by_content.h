#pragma once
// The kinds whose name alone does not decide them, confirmed by what the
// file holds, the way GDAL's drivers recognise them: a .sqlite database is
// a GeoPackage, a SpatiaLite database or no layer; an .img file is Erdas
// Imagine or no layer; a *.gdb name is a File Geodatabase only when it is a
// folder holding a geodatabase's catalogue table.
#include <string>

#include "strand32/layer.h"

namespace strand32 {

// `byName` as layerTypeOf gave it; other kinds are returned unchanged.
LayerType kindByContent(const std::string& path, LayerType byName);

} // namespace strand32
