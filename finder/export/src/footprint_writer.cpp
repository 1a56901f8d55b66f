// The footprint layer: driver by extension, one polygon feature per file
// with a known extent, written through GDAL's C interface.
#include "finder/export/footprint_writer.h"

#include "finder/export/footprint_ring.h"
#include "finder/joined_text.h"

#include <quill32/identify.h>
#include <strand32/gdal_support.h>

#include <algorithm>
#include <cctype>
#include <cpl_string.h>
#include <filesystem>
#include <sstream>
#include <string_view>

namespace finder {
namespace {

using strand32::DatasetPtr;
using strand32::FeaturePtr;
using strand32::GeometryPtr;
using strand32::SrsPtr;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool says(GDALDriverH driver, const char* item) {
    const char* value = GDALGetMetadataItem(driver, item, nullptr);
    return value != nullptr && CPLTestBool(value);
}

// The first driver that creates vector data sets and lists the name's
// extension (".shp.zip" as well as ".shp").
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

// "Cannot write PATH: " and GDAL's last message, or `fallback` without one.
std::string writeError(const std::string& path, const char* fallback) {
    const char* text = CPLGetLastErrorMsg();
    return joined(
        {"Cannot write ", path, ": ", (text != nullptr && *text != '\0') ? text : fallback});
}

GeometryPtr polygonOf(const FootprintRing& ring) {
    GeometryPtr polygon(OGR_G_CreateGeometry(wkbPolygon));
    OGRGeometryH line = OGR_G_CreateGeometry(wkbLinearRing);
    for (const LonLat& p : ring)
        OGR_G_AddPoint_2D(line, p.lon, p.lat);
    OGR_G_AddGeometryDirectly(polygon.get(), line);
    return polygon;
}

// The layer of footprints: the fields, in longitude/latitude on WGS 84.
OGRLayerH createLayer(GDALDatasetH dataset, const std::string& path, bool shapefile) {
    SrsPtr wgs84(OSRNewSpatialReference(nullptr));
    OSRSetWellKnownGeogCS(wgs84.get(), "WGS84");
    OSRSetAxisMappingStrategy(wgs84.get(), OAMS_TRADITIONAL_GIS_ORDER);
    // Shapefiles: texts in UTF-8 and fields as wide as their longest value.
    const char* const shapeOptions[] = {"ENCODING=UTF-8", "RESIZE=YES", nullptr};
    const std::string name = std::filesystem::path(path).stem().string();
    OGRLayerH layer =
        GDALDatasetCreateLayer(dataset, name.c_str(), wgs84.get(), wkbPolygon,
                               shapefile ? const_cast<char**>(shapeOptions) : nullptr);
    for (const char* field : kFootprintFields) {
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

// The facts a row carries, with the keys named from its system (no file
// opened); a row without facts is read now.
strand32::FileFacts factsOfRow(const ExportRow& row) {
    strand32::FileFacts facts =
        row.facts ? *row.facts : strand32::readFileFacts(row.path, {.keys = true});
    if (!facts.keysRead) {
        CoordSysKeys keys{};
        if (!facts.crsWkt.empty() && quill32::identifyCoordSys(facts.crsWkt, keys))
            facts.keys = keys;
        facts.keysRead = true;
    }
    return facts;
}

bool writeFeature(OGRLayerH layer, const RowTexts& row, const strand32::FileFacts& facts,
                  const FootprintRing& ring) {
    FeaturePtr feature(OGR_F_Create(OGR_L_GetLayerDefn(layer)));
    const std::string* texts[] = {&row.name, &row.folder, &row.size, &row.type, &row.modified};
    int field = 0;
    for (const std::string* text : texts)
        OGR_F_SetFieldString(feature.get(), field++, text->c_str());
    if (facts.keys) {
        for (const auto* key :
             {&facts.keys->group, &facts.keys->system, &facts.keys->datum, &facts.keys->units})
            OGR_F_SetFieldString(feature.get(), field++, keyText(*key).c_str());
    }
    OGR_F_SetGeometryDirectly(feature.get(), polygonOf(ring).release());
    return OGR_L_CreateFeature(layer, feature.get()) == OGRERR_NONE;
}

} // namespace

std::string footprintFormatFor(const std::string& path) {
    GDALDriverH driver = vectorDriverFor(path);
    return driver ? GDALGetDriverShortName(driver) : std::string();
}

FootprintExport exportFootprints(const std::string& path, const std::vector<ExportRow>& rows) {
    FootprintExport result;
    GDALDriverH driver = vectorDriverFor(path);
    if (driver == nullptr) {
        result.error = noFootprintFormatText(path);
        return result;
    }
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && GDALDeleteDataset(driver, path.c_str()) != CE_None)
        std::filesystem::remove(path, ec);
    DatasetPtr dataset(GDALCreate(driver, path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    const bool shapefile = std::string(GDALGetDriverShortName(driver)) == "ESRI Shapefile";
    OGRLayerH layer = dataset ? createLayer(dataset.get(), path, shapefile) : nullptr;
    if (layer == nullptr) {
        result.error = writeError(path, "no layer can be made");
        dataset.reset();
    } else {
        const bool transaction = GDALDatasetStartTransaction(dataset.get(), FALSE) == OGRERR_NONE;
        CPLErrorReset(); // formats without transactions say so
        FootprintMaker maker;
        for (const ExportRow& row : rows) {
            const strand32::FileFacts facts = factsOfRow(row);
            const std::optional<FootprintRing> ring = maker.ring(facts);
            if (!ring) {
                ++result.leftOut;
            } else if (writeFeature(layer, row.texts, facts, *ring)) {
                ++result.written;
            } else {
                result.error = writeError(path, "a feature failed");
                break;
            }
        }
        if (transaction && GDALDatasetCommitTransaction(dataset.get()) != OGRERR_NONE &&
            result.error.empty())
            result.error = writeError(path, "the commit failed");
        // Errors of the last flush show when the file is closed.
        CPLErrorReset();
        dataset.reset();
        if (CPLGetLastErrorType() >= CE_Failure && result.error.empty())
            result.error = writeError(path, "closing failed");
    }
    CPLPopErrorHandler();
    return result;
}

} // namespace finder
