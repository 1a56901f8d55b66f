// GDAL-written test files.
#include "gis_writer.h"

#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <memory>
#include <stdexcept>

namespace strand32test {
namespace {

struct SrsReleaser {
    void operator()(OGRSpatialReferenceH s) const { OSRRelease(s); }
};
using Srs = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SrsReleaser>;

Srs epsgSrs(int epsg) {
    if (epsg == 0)
        return nullptr;
    Srs srs(OSRNewSpatialReference(nullptr));
    if (OSRImportFromEPSG(srs.get(), epsg) != OGRERR_NONE)
        throw std::runtime_error("unknown EPSG code");
    return srs;
}

GDALDriverH driverNamed(const char* name) {
    GDALAllRegister();
    GDALDriverH driver = GDALGetDriverByName(name);
    if (driver == nullptr)
        throw std::runtime_error(std::string("no GDAL driver ") + name);
    return driver;
}

} // namespace

void writeVector(const std::string& path, const char* driverName, int epsg,
                 const std::vector<std::string>& wkts) {
    GDALDatasetH ds =
        GDALCreate(driverNamed(driverName), path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (ds == nullptr)
        throw std::runtime_error("cannot create " + path);
    Srs srs = epsgSrs(epsg);
    OGRLayerH layer = GDALDatasetCreateLayer(ds, "layer", srs.get(), wkbUnknown, nullptr);
    if (layer == nullptr) {
        GDALClose(ds);
        throw std::runtime_error("cannot create a layer in " + path);
    }
    // An attribute too, where the format has free attributes.
    const bool withField = OGR_L_TestCapability(layer, OLCCreateField) &&
                           std::string(driverName) != "DXF" && std::string(driverName) != "DGN";
    if (withField) {
        OGRFieldDefnH field = OGR_Fld_Create("name", OFTString);
        if (OGR_L_CreateField(layer, field, TRUE) != OGRERR_NONE)
            throw std::runtime_error("cannot add a field to " + path);
        OGR_Fld_Destroy(field);
    }
    for (const std::string& wkt : wkts) {
        OGRFeatureH feature = OGR_F_Create(OGR_L_GetLayerDefn(layer));
        if (withField)
            OGR_F_SetFieldString(feature, 0, "x");
        OGRGeometryH g = nullptr;
        char* text = const_cast<char*>(wkt.c_str());
        if (OGR_G_CreateFromWkt(&text, srs.get(), &g) != OGRERR_NONE)
            throw std::runtime_error("bad WKT " + wkt);
        OGR_F_SetGeometryDirectly(feature, g);
        const OGRErr err = OGR_L_CreateFeature(layer, feature);
        OGR_F_Destroy(feature);
        if (err != OGRERR_NONE)
            throw std::runtime_error("cannot write a feature to " + path);
    }
    GDALClose(ds);
}

void writeRaster(const std::string& path, const char* driverName, int w, int h,
                 const std::vector<double>& geoTransform, int epsg) {
    GDALDriverH driver = driverNamed(driverName);
    // Drivers without Create (JPEG) are written by copying a memory raster.
    GDALDatasetH mem = GDALCreate(driverNamed("MEM"), "", w, h, 1, GDT_Byte, nullptr);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i * 7);
    if (GDALRasterIO(GDALGetRasterBand(mem, 1), GF_Write, 0, 0, w, h, pixels.data(), w, h, GDT_Byte,
                     0, 0) != CE_None)
        throw std::runtime_error("cannot fill a raster");
    if (!geoTransform.empty())
        GDALSetGeoTransform(mem, const_cast<double*>(geoTransform.data()));
    if (Srs srs = epsgSrs(epsg))
        GDALSetSpatialRef(mem, srs.get());
    GDALDatasetH out = GDALCreateCopy(driver, path.c_str(), mem, FALSE, nullptr, nullptr, nullptr);
    GDALClose(mem);
    if (out == nullptr)
        throw std::runtime_error("cannot write " + path);
    GDALClose(out);
}

std::string epsgWkt(int epsg) {
    Srs srs = epsgSrs(epsg);
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    OSRExportToWktEx(srs.get(), &wkt, options);
    std::string text = wkt ? wkt : "";
    CPLFree(wkt);
    return text;
}

} // namespace strand32test
