// Driver choice by LayerType and raster georeferencing from companions.
#include "layer_source.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "file_lookup.h"
#include "regular_files.h"

namespace strand32 {
namespace {

const char* const kRasterDrivers[] = {"GTiff", "BMP", "JPEG", "BSB", nullptr};
const char* const kDxfDriver[] = {"DXF", nullptr};
const char* const kDwgDriver[] = {"CAD", nullptr};
const char* const kShapeDriver[] = {"ESRI Shapefile", nullptr};
const char* const kMapInfoDriver[] = {"MapInfo File", nullptr};
const char* const kDgnDriver[] = {"DGN", nullptr};

DatasetPtr openWith(const std::string& path, unsigned kind, const char* const* drivers) {
    if (path.empty())
        return nullptr;
    return DatasetPtr(GDALOpenEx(regularFilesPath(path).c_str(), kind | GDAL_OF_READONLY, drivers,
                                 nullptr, nullptr));
}

std::string extensionOf(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot);
}

// Georeferencing of a raster: its own, else the companion named in slot 1
// (world file or raster .TAB), else an affine fit of its control points.
void georeference(LayerSource& source, const std::string& companion) {
    GeoTransform gt{};
    if (GDALGetGeoTransform(source.handle(), gt.data()) == CE_None) {
        source.geoTransform = gt;
        return;
    }
    const std::string path = resolveNoCase(companion);
    if (!path.empty()) {
        source.companionFile = path;
        const std::string ext = extensionOf(path);
        if (equalsNoCase(ext, ".TAB")) {
            char* wkt = nullptr;
            int gcpCount = 0;
            GDAL_GCP* gcps = nullptr;
            const int ok =
                GDALLoadTabFile(regularFilesPath(path).c_str(), gt.data(), &wkt, &gcpCount, &gcps);
            CplString ownedWkt(wkt);
            if (gcps) {
                GDALDeinitGCPs(gcpCount, gcps);
                CPLFree(gcps);
            }
            if (ok) {
                source.geoTransform = gt;
                if (ownedWkt)
                    source.companionWkt = ownedWkt.get();
                return;
            }
        } else if (equalsNoCase(ext, ".TFW") || equalsNoCase(ext, ".WLD") ||
                   equalsNoCase(ext, ".JGW")) {
            if (GDALLoadWorldFile(regularFilesPath(path).c_str(), gt.data())) {
                source.geoTransform = gt;
                return;
            }
        }
    }
    const int gcpCount = GDALGetGCPCount(source.handle());
    if (gcpCount >= 3 &&
        GDALGCPsToGeoTransform(gcpCount, GDALGetGCPs(source.handle()), gt.data(), TRUE)) {
        source.geoTransform = gt;
        return;
    }
    if (source.companionFile.empty() && gcpCount == 0)
        source.photoPlace = exifPosition(source.handle());
}

std::optional<LayerSource> openRaster(const std::string& path, const std::string& companion) {
    LayerSource source;
    source.dataset = openWith(path, GDAL_OF_RASTER, kRasterDrivers);
    if (!source.dataset)
        return std::nullopt;
    source.raster = true;
    georeference(source, companion);
    return source;
}

std::optional<LayerSource> openVector(const std::string& path, const char* const* drivers) {
    LayerSource source;
    source.dataset = openWith(path, GDAL_OF_VECTOR, drivers);
    if (!source.dataset)
        return std::nullopt;
    return source;
}

} // namespace

std::optional<LayerSource> openLayerSource(const LayerRef& layer) {
    ensureGdal();
    std::string path = layer.file;
    if (std::string existing = resolveNoCase(path); !existing.empty())
        path = std::move(existing);
    switch (layer.type) {
    case LayerType::Raster:
        return openRaster(path, layer.companions[0]);
    case LayerType::Dxf:
        return openVector(path, kDxfDriver);
    case LayerType::Dwg: {
        // The CAD driver keeps the outcome of its last open in one variable
        // for the whole process and reads it back after each open: a drawing
        // opened beside another that fails is refused now and then. One
        // drawing at a time, from opening to closing.
        static std::mutex cadDriver;
        auto lock = std::make_shared<std::lock_guard<std::mutex>>(cadDriver);
        auto source = openVector(path, kDwgDriver);
        if (source)
            source->driverLock = std::move(lock);
        return source;
    }
    case LayerType::Shape:
        return openVector(path, kShapeDriver);
    case LayerType::MifMid:
        return openVector(path, kMapInfoDriver);
    case LayerType::Dgn:
        return openVector(path, kDgnDriver);
    case LayerType::TabTable: {
        if (auto vector = openVector(path, kMapInfoDriver))
            return vector;
        // A raster table stands for the image it refers to, in its folder.
        if (auto image = rasterTableImagePath(path))
            return openRaster(resolveNoCase(*image), path);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace strand32
