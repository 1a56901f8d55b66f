// Geometry type names through OGR's own naming.
#include "geometry_names.h"

#include <ogr_api.h>
#include <strings.h>

namespace strand32 {

std::string geometryTypeName(OGRwkbGeometryType type) {
    const char* name = OGRGeometryTypeToName(type);
    return name ? name : "";
}

std::string geometryTypeName(const std::string& gpkgName, int z, int m) {
    static constexpr std::pair<const char*, OGRwkbGeometryType> kTypes[] = {
        {"GEOMETRY", wkbUnknown},
        {"POINT", wkbPoint},
        {"LINESTRING", wkbLineString},
        {"POLYGON", wkbPolygon},
        {"MULTIPOINT", wkbMultiPoint},
        {"MULTILINESTRING", wkbMultiLineString},
        {"MULTIPOLYGON", wkbMultiPolygon},
        {"GEOMETRYCOLLECTION", wkbGeometryCollection},
        {"CIRCULARSTRING", wkbCircularString},
        {"COMPOUNDCURVE", wkbCompoundCurve},
        {"CURVEPOLYGON", wkbCurvePolygon},
        {"MULTICURVE", wkbMultiCurve},
        {"MULTISURFACE", wkbMultiSurface},
        {"CURVE", wkbCurve},
        {"SURFACE", wkbSurface},
    };
    if ((z != 0 && z != 1) || (m != 0 && m != 1))
        return {};
    for (const auto& [name, type] : kTypes) {
        if (strcasecmp(name, gpkgName.c_str()) == 0)
            return geometryTypeName(OGR_GT_SetModifier(type, z, m));
    }
    return {};
}

} // namespace strand32
