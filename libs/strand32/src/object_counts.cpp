// Kinds of geometry by OGR's flattened type.
#include "object_counts.h"

#include <vector>

#include "gdal_support.h"

namespace strand32 {
namespace {

std::int64_t& slotOf(OGRwkbGeometryType type, ObjectCounts& c) {
    switch (OGR_GT_Flatten(type)) {
    case wkbPoint:
    case wkbMultiPoint:
        return c.points;
    case wkbLineString:
    case wkbMultiLineString:
    case wkbCircularString:
    case wkbCompoundCurve:
    case wkbMultiCurve:
        return c.lines;
    case wkbPolygon:
    case wkbMultiPolygon:
    case wkbCurvePolygon:
    case wkbMultiSurface:
    case wkbTriangle:
    case wkbTIN:
    case wkbPolyhedralSurface:
        return c.polygons;
    default:
        return c.others;
    }
}

} // namespace

void countLayerObjects(OGRLayerH layer, ObjectCounts& counts) {
    OGRFeatureDefnH defn = OGR_L_GetLayerDefn(layer);
    std::vector<const char*> ignored;
    for (int f = 0; f < OGR_FD_GetFieldCount(defn); ++f)
        ignored.push_back(OGR_Fld_GetNameRef(OGR_FD_GetFieldDefn(defn, f)));
    ignored.push_back("OGR_STYLE");
    ignored.push_back(nullptr);
    OGR_L_SetIgnoredFields(layer, ignored.data());
    OGR_L_ResetReading(layer);
    while (FeaturePtr feature{OGR_L_GetNextFeature(layer)}) {
        OGRGeometryH geometry = OGR_F_GetGeometryRef(static_cast<OGRFeatureH>(feature.get()));
        if (geometry == nullptr)
            ++counts.others;
        else
            ++slotOf(OGR_G_GetGeometryType(geometry), counts);
    }
}

} // namespace strand32
