// Extent, coordinate system and object counts of one layer, read with
// GDAL/OGR. Every function opens the file once and closes it on return.
#include "strand32/layer_info.h"

#include "layer_reading.h"

#include <algorithm>
#include <cmath>

#include "crs_text.h"
#include "layer_source.h"
#include "object_counts.h"

namespace strand32 {
namespace {

void include(MaporaExtent& e, double x, double y) {
    e.west = std::min(e.west, x);
    e.east = std::max(e.east, x);
    e.south = std::min(e.south, y);
    e.north = std::max(e.north, y);
}

MaporaExtent emptyExtent() {
    return {HUGE_VAL, -HUGE_VAL, -HUGE_VAL, HUGE_VAL};
}

bool isEmpty(const MaporaExtent& e) {
    return !(e.west <= e.east && e.south <= e.north);
}

bool isFinite(const MaporaExtent& e) {
    return std::isfinite(e.west) && std::isfinite(e.east) && std::isfinite(e.north) &&
           std::isfinite(e.south);
}

std::optional<MaporaExtent> rasterExtent(const LayerSource& source) {
    if (source.photoPlace)
        return MaporaExtent{source.photoPlace->lon, source.photoPlace->lat, source.photoPlace->lon,
                            source.photoPlace->lat};
    if (!source.geoTransform)
        return std::nullopt;
    return cornersOf(*source.geoTransform, GDALGetRasterXSize(source.handle()),
                     GDALGetRasterYSize(source.handle()));
}

// Union of the envelopes of the layer's geometries, for formats whose
// stored extent cannot be trusted.
bool extentFromGeometries(OGRLayerH layer, MaporaExtent& e) {
    bool any = false;
    OGR_L_ResetReading(layer);
    while (FeaturePtr feature{OGR_L_GetNextFeature(layer)}) {
        OGRGeometryH geometry = OGR_F_GetGeometryRef(static_cast<OGRFeatureH>(feature.get()));
        if (geometry == nullptr || OGR_G_IsEmpty(geometry))
            continue;
        OGREnvelope env;
        OGR_G_GetEnvelope(geometry, &env);
        include(e, env.MinX, env.MinY);
        include(e, env.MaxX, env.MaxY);
        any = true;
    }
    return any;
}

std::optional<MaporaExtent> vectorExtent(const LayerSource& source, bool fromGeometries) {
    MaporaExtent e = emptyExtent();
    const int count = GDALDatasetGetLayerCount(source.handle());
    for (int i = 0; i < count; ++i) {
        OGRLayerH layer = GDALDatasetGetLayer(source.handle(), i);
        if (layer == nullptr)
            continue;
        if (fromGeometries) {
            extentFromGeometries(layer, e);
            continue;
        }
        // A layer known to be empty has no extent, whatever box it states
        // ((0,0) - (0,0), or (0,0) - (-1,-1) inverted); nor has an inverted box.
        if (OGR_L_GetFeatureCount(layer, FALSE) == 0)
            continue;
        OGREnvelope env;
        if (OGR_L_GetExtent(layer, &env, TRUE) == OGRERR_NONE && env.MinX <= env.MaxX &&
            env.MinY <= env.MaxY) {
            include(e, env.MinX, env.MinY);
            include(e, env.MaxX, env.MaxY);
        }
    }
    if (isEmpty(e))
        return std::nullopt;
    return e;
}

OGRSpatialReferenceH firstLayerSrs(GDALDatasetH dataset) {
    const int count = GDALDatasetGetLayerCount(dataset);
    for (int i = 0; i < count; ++i) {
        OGRLayerH layer = GDALDatasetGetLayer(dataset, i);
        if (OGRSpatialReferenceH srs = layer ? OGR_L_GetSpatialRef(layer) : nullptr)
            return srs;
    }
    return nullptr;
}

} // namespace

MaporaExtent cornersOf(const GeoTransform& gt, double width, double height) {
    MaporaExtent e = emptyExtent();
    for (const auto& [px, py] : {std::pair{0.0, 0.0}, {width, 0.0}, {0.0, height}, {width, height}})
        include(e, gt[0] + px * gt[1] + py * gt[2], gt[3] + px * gt[4] + py * gt[5]);
    return e;
}

std::optional<MaporaExtent> extentOf(const LayerSource& source, const LayerRef& layer) {
    std::optional<MaporaExtent> e;
    if (source.raster)
        e = rasterExtent(source);
    else
        e = vectorExtent(source, layer.type == LayerType::Dgn);
    if (e && !isFinite(*e))
        return std::nullopt;
    return e;
}

std::optional<LayerCrs> crsOf(const LayerSource& source) {
    OGRSpatialReferenceH srs = nullptr;
    SrsPtr companion;
    if (source.raster) {
        srs = GDALGetSpatialRef(source.handle());
        if (srs == nullptr && !source.companionWkt.empty()) {
            companion.reset(OSRNewSpatialReference(source.companionWkt.c_str()));
            srs = static_cast<OGRSpatialReferenceH>(companion.get());
        }
        // A driver may offer a default system for control points it has not
        // got (BSB): without points it places nothing.
        if (srs == nullptr && GDALGetGCPCount(source.handle()) > 0)
            srs = GDALGetGCPSpatialRef(source.handle());
        // A photo's GPS place is in degrees on WGS 84.
        if (srs == nullptr && source.photoPlace) {
            if (auto wgs84 = crsFromCode("EPSG", 4326))
                return LayerCrs{std::move(wgs84->wkt), std::move(wgs84->name)};
        }
    } else {
        srs = firstLayerSrs(source.handle());
    }
    LayerCrs crs{wktOf(srs), srs && OSRGetName(srs) ? OSRGetName(srs) : ""};
    if (crs.wkt.empty())
        return std::nullopt;
    return crs;
}

std::optional<MaporaExtent> layerExtent(const LayerRef& layer) {
    QuietGdalScope quiet;
    const auto source = openLayerSource(layer);
    if (!source)
        return std::nullopt;
    return extentOf(*source, layer);
}

std::optional<LayerCrs> layerCrs(const LayerRef& layer) {
    QuietGdalScope quiet;
    const auto source = openLayerSource(layer);
    if (!source)
        return std::nullopt;
    return crsOf(*source);
}

std::optional<ObjectCounts> layerObjectCounts(const LayerRef& layer) {
    QuietGdalScope quiet;
    auto source = openLayerSource(layer);
    if (!source)
        return std::nullopt;
    // A raster is one other object; a photo placed by its GPS tags a point.
    if (source->raster)
        return source->photoPlace ? ObjectCounts{1, 0, 0, 0} : ObjectCounts{0, 0, 0, 1};
    ObjectCounts counts;
    const int layers = GDALDatasetGetLayerCount(source->handle());
    for (int i = 0; i < layers; ++i) {
        if (OGRLayerH l = GDALDatasetGetLayer(source->handle(), i))
            countLayerObjects(l, counts);
    }
    return counts;
}

} // namespace strand32
