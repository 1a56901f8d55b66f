// GDAL's reading of a dataset, layer by layer.
#include "container_facts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <cpl_string.h>

#include "container_union.h"
#include "crs_text.h"
#include "exif_position.h"
#include "gdal_support.h"
#include "geometry_names.h"
#include "object_counts.h"
#include "regular_files.h"
#include "sqlite_file.h"

namespace strand32 {
namespace {

bool isRasterKind(LayerType kind) {
    switch (kind) {
    case LayerType::Tiff:
    case LayerType::Jpeg2000:
    case LayerType::NetCdf:
    case LayerType::ErdasImagine:
    case LayerType::Vrt:
    case LayerType::AsciiGrid:
    case LayerType::Srtm:
        return true;
    default:
        return false;
    }
}

unsigned openFlagsOf(LayerType kind) {
    if (kind == LayerType::GeoPackage)
        return GDAL_OF_VECTOR | GDAL_OF_RASTER;
    return isRasterKind(kind) ? GDAL_OF_RASTER : GDAL_OF_VECTOR;
}

// The netCDF library opens files by their own path, not through GDAL's
// file systems.
std::string gdalPathOf(const std::string& path, LayerType kind) {
    return kind == LayerType::NetCdf ? path : regularFilesPath(path);
}

DatasetPtr openWithDriver(const std::string& name, LayerType kind) {
    const char* const drivers[] = {gdalDriverOf(kind), nullptr};
    return DatasetPtr(
        GDALOpenEx(name.c_str(), openFlagsOf(kind) | GDAL_OF_READONLY, drivers, nullptr, nullptr));
}

std::string systemWkt(OGRSpatialReferenceH srs, std::string* name) {
    if (srs && name)
        *name = OSRGetName(srs) ? OSRGetName(srs) : "";
    return wktOf(srs);
}

bool finite(const Extent& e) {
    return std::isfinite(e.west) && std::isfinite(e.east) && std::isfinite(e.north) &&
           std::isfinite(e.south);
}

// The exact extent of a GeoPackage table's geometries, by GDAL's SQL.
std::optional<Extent> geometryExtent(GDALDatasetH ds, OGRLayerH layer) {
    const char* column = OGR_L_GetGeometryColumn(layer);
    if (column == nullptr || *column == '\0')
        return std::nullopt;
    const std::string geom = quotedIdentifier(column);
    const std::string sql = "SELECT MIN(ST_MinX(" + geom + ")), MIN(ST_MinY(" + geom +
                            ")), MAX(ST_MaxX(" + geom + ")), MAX(ST_MaxY(" + geom + ")) FROM " +
                            quotedIdentifier(OGR_L_GetName(layer));
    OGRLayerH result = GDALDatasetExecuteSQL(ds, sql.c_str(), nullptr, nullptr);
    if (result == nullptr)
        return std::nullopt;
    std::optional<Extent> extent;
    if (FeaturePtr row{OGR_L_GetNextFeature(result)}) {
        const auto f = static_cast<OGRFeatureH>(row.get());
        if (OGR_F_IsFieldSetAndNotNull(f, 0) && OGR_F_IsFieldSetAndNotNull(f, 3))
            extent = Extent{OGR_F_GetFieldAsDouble(f, 0), OGR_F_GetFieldAsDouble(f, 3),
                            OGR_F_GetFieldAsDouble(f, 2), OGR_F_GetFieldAsDouble(f, 1)};
    }
    GDALDatasetReleaseResultSet(ds, result);
    return extent;
}

void readVectorLayers(GDALDatasetH ds, FactsRequest request,
                      const std::vector<std::string>& staleExtents, FileFacts& facts) {
    const int count = GDALDatasetGetLayerCount(ds);
    for (int i = 0; i < count; ++i) {
        OGRLayerH layer = GDALDatasetGetLayer(ds, i);
        if (layer == nullptr || OGR_L_GetGeomType(layer) == wkbNone)
            continue; // attribute tables are no layers
        LayerFacts facts1;
        facts1.name = OGR_L_GetName(layer);
        facts1.geometryType = geometryTypeName(OGR_L_GetGeomType(layer));
        const bool stale =
            std::find(staleExtents.begin(), staleExtents.end(), facts1.name) != staleExtents.end();
        OGREnvelope env;
        if (stale)
            facts1.extent = geometryExtent(ds, layer);
        else if (OGR_L_GetExtent(layer, &env, TRUE) == OGRERR_NONE)
            facts1.extent = Extent{env.MinX, env.MaxY, env.MaxX, env.MinY};
        if (facts1.extent && !finite(*facts1.extent))
            facts1.extent.reset();
        facts1.crsWkt = systemWkt(OGR_L_GetSpatialRef(layer), &facts1.crsName);
        if (request.counts) {
            ObjectCounts counts;
            countLayerObjects(layer, counts);
            facts1.counts = counts;
        }
        facts.layers.push_back(std::move(facts1));
    }
}

std::optional<Extent> cornersExtent(const double (&gt)[6], int width, int height) {
    Extent e{INFINITY, -INFINITY, -INFINITY, INFINITY};
    for (const auto& [px, py] : {std::pair{0, 0}, {width, 0}, {0, height}, {width, height}}) {
        const double x = gt[0] + px * gt[1] + py * gt[2];
        const double y = gt[3] + px * gt[4] + py * gt[5];
        e.west = std::min(e.west, x);
        e.east = std::max(e.east, x);
        e.south = std::min(e.south, y);
        e.north = std::max(e.north, y);
    }
    if (!finite(e))
        return std::nullopt;
    return e;
}

// One raster as a layer: placed by its transform or control points, else a
// photo's EXIF position; nothing when it is neither.
std::optional<LayerFacts> rasterLayer(GDALDatasetH ds, std::string name, FactsRequest request) {
    if (GDALGetRasterCount(ds) == 0)
        return std::nullopt;
    LayerFacts layer;
    layer.name = std::move(name);
    layer.geometryType = "Raster";
    double gt[6];
    OGRSpatialReferenceH srs = GDALGetSpatialRef(ds);
    if (GDALGetGeoTransform(ds, gt) == CE_None) {
        layer.extent = cornersExtent(gt, GDALGetRasterXSize(ds), GDALGetRasterYSize(ds));
    } else if (GDALGetGCPCount(ds) >= 3 &&
               GDALGCPsToGeoTransform(GDALGetGCPCount(ds), GDALGetGCPs(ds), gt, TRUE)) {
        layer.extent = cornersExtent(gt, GDALGetRasterXSize(ds), GDALGetRasterYSize(ds));
        srs = GDALGetGCPSpatialRef(ds);
    } else if (const auto place = exifPosition(ds)) {
        // A photo: the point where it was taken, in degrees on WGS 84.
        const auto wgs84 = crsFromCode("EPSG", 4326);
        layer.geometryType = "Point";
        layer.extent = Extent{place->lon, place->lat, place->lon, place->lat};
        if (wgs84) {
            layer.crsWkt = wgs84->wkt;
            layer.crsName = wgs84->name;
        }
        if (request.counts)
            layer.counts = ObjectCounts{1, 0, 0, 0};
        return layer;
    }
    layer.crsWkt = systemWkt(srs, &layer.crsName);
    if (request.counts)
        layer.counts = ObjectCounts{0, 0, 0, 1};
    return layer;
}

void readRasterLayers(GDALDatasetH ds, LayerType kind, FactsRequest request, FileFacts& facts) {
    char** subdatasets = GDALGetMetadata(ds, "SUBDATASETS");
    if (CSLCount(subdatasets) == 0) {
        if (auto layer = rasterLayer(ds, {}, request))
            facts.layers.push_back(std::move(*layer));
        return;
    }
    for (int n = 1;; ++n) {
        const char* name =
            CSLFetchNameValue(subdatasets, ("SUBDATASET_" + std::to_string(n) + "_NAME").c_str());
        if (name == nullptr)
            break;
        const char* desc =
            CSLFetchNameValue(subdatasets, ("SUBDATASET_" + std::to_string(n) + "_DESC").c_str());
        const DatasetPtr sub = openWithDriver(name, kind);
        if (!sub)
            continue;
        if (auto layer =
                rasterLayer(static_cast<GDALDatasetH>(sub.get()), desc ? desc : name, request))
            facts.layers.push_back(std::move(*layer));
    }
}

// The files GDAL read besides `path`, relative to its folder.
std::vector<std::string> companionsOf(GDALDatasetH ds, const std::string& path) {
    std::vector<std::string> files;
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    if (char** list = GDALGetFileList(ds)) {
        for (char** item = list; *item != nullptr; ++item) {
            std::string file = plainPathOf(*item);
            if (file == path)
                continue;
            if (!folder.empty() && file.starts_with(folder))
                file.erase(0, folder.size());
            if (std::find(files.begin(), files.end(), file) == files.end())
                files.push_back(std::move(file));
        }
        CSLDestroy(list);
    }
    return files;
}

// Every file of a geodatabase folder, named below the folder's parent
// ("world.gdb/a00000001.gdbtable"): the answer stays true while none of
// them changes and none is added or taken away (which changes the folder).
std::vector<std::string> geodatabaseFiles(const std::string& path) {
    std::vector<std::string> files;
    const std::string folderName = std::filesystem::path(path).filename().string();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            files.push_back(folderName + "/" + it->path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

const char* gdalDriverOf(LayerType kind) {
    switch (kind) {
    case LayerType::GeoPackage:
        return "GPKG";
    case LayerType::SpatiaLite:
        return "SQLite";
    case LayerType::GeoJson:
        return "GeoJSON";
    case LayerType::FlatGeobuf:
        return "FlatGeobuf";
    case LayerType::Kml:
        return "LIBKML";
    case LayerType::Kmz:
        return "LIBKML";
    case LayerType::Gml:
        return "GML";
    case LayerType::FileGdb:
        return "OpenFileGDB";
    case LayerType::Tiff:
        return "GTiff";
    case LayerType::Jpeg2000:
        return "JP2OpenJPEG";
    case LayerType::NetCdf:
        return "netCDF";
    case LayerType::ErdasImagine:
        return "HFA";
    case LayerType::Vrt:
        return "VRT";
    case LayerType::AsciiGrid:
        return "AAIGrid";
    case LayerType::Srtm:
        return "SRTMHGT";
    default:
        return nullptr;
    }
}

FileFacts readContainerFacts(const std::string& path, LayerType kind, FactsRequest request,
                             const std::vector<std::string>& staleExtents) {
    FileFacts facts;
    facts.kind = kind;
    if (gdalDriverOf(kind) == nullptr) {
        facts.error = "not a kind GDAL reads";
        return facts;
    }
    ensureGdal();
    QuietGdalScope quiet;
    const DatasetPtr dataset = openWithDriver(gdalPathOf(path, kind), kind);
    if (!dataset) {
        facts.error = "GDAL's " + std::string(gdalDriverOf(kind)) + " driver cannot open it";
        return facts;
    }
    const auto ds = static_cast<GDALDatasetH>(dataset.get());
    readVectorLayers(ds, request, staleExtents, facts);
    readRasterLayers(ds, kind, request, facts);
    facts.companions = kind == LayerType::FileGdb ? geodatabaseFiles(path) : companionsOf(ds, path);
    if (facts.layers.empty()) {
        facts.kind = LayerType::None;
        facts.error = "no spatial layer";
        return facts;
    }
    if (request.counts) {
        ObjectCounts total;
        for (const LayerFacts& layer : facts.layers) {
            if (layer.counts) {
                total.points += layer.counts->points;
                total.lines += layer.counts->lines;
                total.polygons += layer.counts->polygons;
                total.others += layer.counts->others;
            }
        }
        facts.countsRead = true;
        facts.counts = total;
    }
    uniteLayers(facts);
    return facts;
}

} // namespace strand32
