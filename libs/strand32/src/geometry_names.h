#pragma once
// Geometry type names as GDAL writes them ("Point", "Multi Polygon", "3D
// Line String"), for layers read with GDAL and for those read from a
// format's own catalogue, so both read alike.
#include <string>

#include <ogr_core.h>

namespace strand32 {

// GDAL's name of an OGR geometry type.
std::string geometryTypeName(OGRwkbGeometryType type);

// The name for a GeoPackage geometry_type_name with its z and m flags (0
// prohibited, 1 mandatory); empty when the name is not one of GeoPackage's
// or a flag is neither 0 nor 1.
std::string geometryTypeName(const std::string& gpkgName, int z, int m);

} // namespace strand32
