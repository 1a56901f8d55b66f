#pragma once
// Small georeferenced files written with GDAL for the candidate tests: a
// shapefile holding one rectangle, and a GeoTIFF covering a rectangle.
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace testsupport {

struct Rect {
    double west, north, east, south;
};

namespace detail {
struct DatasetCloser {
    void operator()(void* h) const { GDALClose(h); }
};
struct SrsReleaser {
    void operator()(void* h) const { OSRRelease(h); }
};
using DatasetPtr = std::unique_ptr<void, DatasetCloser>;
using SrsPtr = std::unique_ptr<void, SrsReleaser>;

inline SrsPtr srsOf(int epsg) {
    SrsPtr srs(OSRNewSpatialReference(nullptr));
    if (epsg != 0 && OSRImportFromEPSG(srs.get(), epsg) != OGRERR_NONE)
        throw std::runtime_error("unknown EPSG code");
    return srs;
}
} // namespace detail

// A polygon shapefile with `r` as its only feature, in EPSG:`epsg` (0: no .prj).
inline std::string writeRectangleShapefile(const std::string& path, int epsg, Rect r) {
    GDALAllRegister();
    detail::DatasetPtr ds(GDALCreate(GDALGetDriverByName("ESRI Shapefile"), path.c_str(), 0, 0, 0,
                                     GDT_Unknown, nullptr));
    if (!ds)
        throw std::runtime_error("cannot create " + path);
    auto srs = detail::srsOf(epsg);
    OGRLayerH layer =
        GDALDatasetCreateLayer(ds.get(), "rect", epsg ? srs.get() : nullptr, wkbPolygon, nullptr);
    OGRFeatureH feature = OGR_F_Create(OGR_L_GetLayerDefn(layer));
    const std::string wkt = "POLYGON((" + std::to_string(r.west) + " " + std::to_string(r.north) +
                            "," + std::to_string(r.east) + " " + std::to_string(r.north) + "," +
                            std::to_string(r.east) + " " + std::to_string(r.south) + "," +
                            std::to_string(r.west) + " " + std::to_string(r.south) + "," +
                            std::to_string(r.west) + " " + std::to_string(r.north) + "))";
    OGRGeometryH geometry = nullptr;
    char* text = const_cast<char*>(wkt.c_str());
    OGR_G_CreateFromWkt(&text, nullptr, &geometry);
    OGR_F_SetGeometryDirectly(feature, geometry);
    const bool ok = OGR_L_CreateFeature(layer, feature) == OGRERR_NONE;
    OGR_F_Destroy(feature);
    if (!ok)
        throw std::runtime_error("cannot write a feature to " + path);
    return path;
}

// A 4 x 4 GeoTIFF whose pixels cover `r` exactly, in EPSG:`epsg`.
inline std::string writeGeoTiff(const std::string& path, int epsg, Rect r) {
    GDALAllRegister();
    detail::DatasetPtr ds(
        GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), 4, 4, 1, GDT_Byte, nullptr));
    if (!ds)
        throw std::runtime_error("cannot create " + path);
    double transform[6] = {r.west, (r.east - r.west) / 4, 0, r.north, 0, (r.south - r.north) / 4};
    GDALSetGeoTransform(ds.get(), transform);
    auto srs = detail::srsOf(epsg);
    GDALSetSpatialRef(ds.get(), srs.get());
    return path;
}

} // namespace testsupport
