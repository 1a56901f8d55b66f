// Vector files through GDAL's C interface: the driver by extension, the
// layer and its fields, features in a transaction, errors kept as text.
#include "vector_output.h"

#include "finder/export/footprint_export.h"
#include "finder/joined_text.h"

#include <algorithm>
#include <cctype>
#include <cpl_string.h>
#include <filesystem>
#include <sstream>

namespace finder {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool says(GDALDriverH driver, const char* item) {
    const char* value = GDALGetMetadataItem(driver, item, nullptr);
    return value != nullptr && CPLTestBool(value);
}

// The layer: the fields, in longitude/latitude on WGS 84.
OGRLayerH createLayer(GDALDatasetH dataset, const std::string& path,
                      const std::vector<const char*>& fields, OGRwkbGeometryType type,
                      bool shapefile) {
    strand32::SrsPtr wgs84(OSRNewSpatialReference(nullptr));
    OSRSetWellKnownGeogCS(wgs84.get(), "WGS84");
    OSRSetAxisMappingStrategy(wgs84.get(), OAMS_TRADITIONAL_GIS_ORDER);
    // Shapefiles: texts in UTF-8 and fields as wide as their longest value.
    const char* const shapeOptions[] = {"ENCODING=UTF-8", "RESIZE=YES", nullptr};
    const std::string name = std::filesystem::path(path).stem().string();
    OGRLayerH layer =
        GDALDatasetCreateLayer(dataset, name.c_str(), wgs84.get(), type,
                               shapefile ? const_cast<char**>(shapeOptions) : nullptr);
    for (const char* field : fields) {
        if (layer == nullptr)
            break;
        OGRFieldDefnH definition = OGR_Fld_Create(field, OFTString);
        if (shapefile)
            OGR_Fld_SetWidth(definition, 254); // the format's widest text
        const OGRErr made = OGR_L_CreateField(layer, definition, TRUE);
        OGR_Fld_Destroy(definition);
        if (made != OGRERR_NONE)
            layer = nullptr;
    }
    return layer;
}

} // namespace

GDALDriverH vectorDriverFor(const std::string& path) {
    strand32::ensureGdal();
    const std::string name = lowerCase(std::filesystem::path(path).filename().string());
    for (int i = 0; i < GDALGetDriverCount(); ++i) {
        GDALDriverH driver = GDALGetDriver(i);
        if (!says(driver, GDAL_DCAP_VECTOR) || !says(driver, GDAL_DCAP_CREATE))
            continue;
        const char* list = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSIONS, nullptr);
        if (list == nullptr)
            list = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSION, nullptr);
        std::istringstream extensions(list ? list : "");
        for (std::string extension; extensions >> extension;) {
            const std::string suffix = joined({".", lowerCase(extension)});
            if (name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                return driver;
        }
    }
    return nullptr;
}

VectorOutput::VectorOutput(const std::string& path, const std::vector<const char*>& fields,
                           OGRwkbGeometryType geometryType)
    : path_(path) {
    GDALDriverH driver = vectorDriverFor(path);
    CPLPushErrorHandler(CPLQuietErrorHandler);
    if (driver == nullptr) {
        error_ = noFootprintFormatText(path);
        return;
    }
    CPLErrorReset();
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && GDALDeleteDataset(driver, path.c_str()) != CE_None)
        std::filesystem::remove(path, ec);
    dataset_.reset(GDALCreate(driver, path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    const bool shapefile = std::string(GDALGetDriverShortName(driver)) == "ESRI Shapefile";
    layer_ =
        dataset_ ? createLayer(dataset_.get(), path, fields, geometryType, shapefile) : nullptr;
    if (layer_ == nullptr) {
        fail("no layer can be made");
        dataset_.reset();
        return;
    }
    transaction_ = GDALDatasetStartTransaction(dataset_.get(), FALSE) == OGRERR_NONE;
    CPLErrorReset(); // formats without transactions say so
}

VectorOutput::~VectorOutput() {
    finish();
    CPLPopErrorHandler();
}

void VectorOutput::fail(const char* fallback) {
    if (!error_.empty())
        return;
    const char* text = CPLGetLastErrorMsg();
    error_ = joined(
        {"Cannot write ", path_, ": ", (text != nullptr && *text != '\0') ? text : fallback});
}

bool VectorOutput::add(strand32::GeometryPtr geometry, const std::vector<std::string>& values) {
    if (layer_ == nullptr || !error_.empty())
        return false;
    strand32::FeaturePtr feature(OGR_F_Create(OGR_L_GetLayerDefn(layer_)));
    for (std::size_t i = 0; i < values.size(); ++i)
        OGR_F_SetFieldString(feature.get(), static_cast<int>(i), values[i].c_str());
    OGR_F_SetGeometryDirectly(feature.get(), geometry.release());
    if (OGR_L_CreateFeature(layer_, feature.get()) == OGRERR_NONE)
        return true;
    fail("a feature failed");
    return false;
}

const std::string& VectorOutput::finish() {
    if (!dataset_)
        return error_;
    if (transaction_ && GDALDatasetCommitTransaction(dataset_.get()) != OGRERR_NONE)
        fail("the commit failed");
    // Errors of the last flush show when the file is closed.
    CPLErrorReset();
    layer_ = nullptr;
    dataset_.reset();
    if (CPLGetLastErrorType() >= CE_Failure)
        fail("closing failed");
    return error_;
}

} // namespace finder
