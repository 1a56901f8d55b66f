// Reading a layer for drawing: vector geometries transformed to
// longitude/latitude; rasters reduced to an image placed on their extent.
#include "map_layer.h"

#include <algorithm>
#include <cmath>

#include "layer_source.h"

namespace strand32 {
namespace {

// Transformation from `srs` to WGS84 longitude/latitude; null (identity)
// when the layer names no coordinate system. False when one is named but
// cannot be transformed.
bool lonLatTransform(OGRSpatialReferenceH srs, TransformPtr& out) {
    if (srs == nullptr)
        return true;
    SrsPtr source(OSRClone(srs));
    SrsPtr target(OSRNewSpatialReference(nullptr));
    if (!source || !target)
        return false;
    auto s = static_cast<OGRSpatialReferenceH>(source.get());
    auto t = static_cast<OGRSpatialReferenceH>(target.get());
    if (OSRSetWellKnownGeogCS(t, "WGS84") != OGRERR_NONE)
        return false;
    OSRSetAxisMappingStrategy(s, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(t, OAMS_TRADITIONAL_GIS_ORDER);
    out.reset(OCTNewCoordinateTransformation(s, t));
    return out != nullptr;
}

void addRing(OGRGeometryH ring, QPainterPath& path, bool close) {
    const int n = OGR_G_GetPointCount(ring);
    for (int i = 0; i < n; ++i) {
        const QPointF p(OGR_G_GetX(ring, i), OGR_G_GetY(ring, i));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    if (close && n > 0)
        path.closeSubpath();
}

void addGeometry(OGRGeometryH g, MapLayer& layer) {
    const OGRwkbGeometryType type = OGR_GT_Flatten(OGR_G_GetGeometryType(g));
    switch (type) {
    case wkbPoint:
        layer.points.emplace_back(OGR_G_GetX(g, 0), OGR_G_GetY(g, 0));
        break;
    case wkbLineString:
        addRing(g, layer.lines, false);
        break;
    case wkbPolygon:
        for (int i = 0; i < OGR_G_GetGeometryCount(g); ++i)
            addRing(OGR_G_GetGeometryRef(g, i), layer.polygons, true);
        break;
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
        for (int i = 0; i < OGR_G_GetGeometryCount(g); ++i)
            addGeometry(OGR_G_GetGeometryRef(g, i), layer);
        break;
    default:
        if (OGR_G_HasCurveGeometry(g, TRUE)) {
            GeometryPtr linear(OGR_G_GetLinearGeometry(g, 0, nullptr));
            if (linear)
                addGeometry(static_cast<OGRGeometryH>(linear.get()), layer);
        }
        break;
    }
}

bool loadVector(const LayerSource& source, MapLayer& out) {
    const int count = GDALDatasetGetLayerCount(source.handle());
    for (int i = 0; i < count; ++i) {
        OGRLayerH layer = GDALDatasetGetLayer(source.handle(), i);
        if (layer == nullptr)
            continue;
        TransformPtr transform;
        if (!lonLatTransform(OGR_L_GetSpatialRef(layer), transform))
            return false;
        OGR_L_ResetReading(layer);
        while (FeaturePtr feature{OGR_L_GetNextFeature(layer)}) {
            OGRGeometryH g = OGR_F_GetGeometryRef(static_cast<OGRFeatureH>(feature.get()));
            if (g == nullptr)
                continue;
            if (transform && OGR_G_Transform(g, static_cast<OGRCoordinateTransformationH>(
                                                    transform.get())) != OGRERR_NONE)
                continue;
            addGeometry(g, out);
        }
    }
    return true;
}

// Bounding box of the raster's outline in longitude/latitude.
bool rasterArea(const LayerSource& source, QRectF& area) {
    if (!source.geoTransform)
        return false;
    OGRSpatialReferenceH srs = GDALGetSpatialRef(source.handle());
    SrsPtr companion;
    if (srs == nullptr && !source.companionWkt.empty()) {
        companion.reset(OSRNewSpatialReference(source.companionWkt.c_str()));
        srs = static_cast<OGRSpatialReferenceH>(companion.get());
    }
    TransformPtr transform;
    if (!lonLatTransform(srs, transform))
        return false;
    const GeoTransform& gt = *source.geoTransform;
    const double w = GDALGetRasterXSize(source.handle());
    const double h = GDALGetRasterYSize(source.handle());
    constexpr int kSteps = 8; // points along each edge
    std::vector<double> xs, ys;
    for (int i = 0; i <= kSteps; ++i) {
        const double f = static_cast<double>(i) / kSteps;
        for (const auto& [px, py] : {std::pair{f * w, 0.0}, {f * w, h}, {0.0, f * h}, {w, f * h}}) {
            xs.push_back(gt[0] + px * gt[1] + py * gt[2]);
            ys.push_back(gt[3] + px * gt[4] + py * gt[5]);
        }
    }
    if (transform && !OCTTransform(static_cast<OGRCoordinateTransformationH>(transform.get()),
                                   static_cast<int>(xs.size()), xs.data(), ys.data(), nullptr))
        return false;
    const auto [minX, maxX] = std::minmax_element(xs.begin(), xs.end());
    const auto [minY, maxY] = std::minmax_element(ys.begin(), ys.end());
    area = QRectF(QPointF(*minX, *minY), QPointF(*maxX, *maxY));
    return area.isValid();
}

// The raster read at most kMaxSide pixels on its longer side, as RGB.
QImage rasterImage(GDALDatasetH dataset) {
    constexpr int kMaxSide = 1024;
    const int w = GDALGetRasterXSize(dataset);
    const int h = GDALGetRasterYSize(dataset);
    const int bands = GDALGetRasterCount(dataset);
    if (w <= 0 || h <= 0 || bands <= 0)
        return {};
    const double f = std::min(1.0, static_cast<double>(kMaxSide) / std::max(w, h));
    const int outW = std::max(1, static_cast<int>(w * f));
    const int outH = std::max(1, static_cast<int>(h * f));
    QImage image(outW, outH, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    GDALRasterBandH first = GDALGetRasterBand(dataset, 1);
    GDALColorTableH palette = GDALGetRasterColorTable(first);
    const int channels = bands >= 3 ? 3 : 1;
    std::vector<unsigned char> buf(static_cast<std::size_t>(outW) * outH * channels);
    for (int c = 0; c < channels; ++c) {
        if (GDALRasterIO(GDALGetRasterBand(dataset, c + 1), GF_Read, 0, 0, w, h,
                         buf.data() + static_cast<std::size_t>(c) * outW * outH, outW, outH,
                         GDT_Byte, 0, 0) != CE_None)
            return {};
    }
    const std::size_t plane = static_cast<std::size_t>(outW) * outH;
    for (int y = 0; y < outH; ++y) {
        unsigned char* line = image.scanLine(y);
        for (int x = 0; x < outW; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * outW + x;
            unsigned char rgb[3] = {buf[i], buf[i], buf[i]};
            if (channels == 3) {
                rgb[1] = buf[plane + i];
                rgb[2] = buf[2 * plane + i];
            } else if (palette) {
                if (const GDALColorEntry* e = GDALGetColorEntry(palette, buf[i])) {
                    rgb[0] = static_cast<unsigned char>(e->c1);
                    rgb[1] = static_cast<unsigned char>(e->c2);
                    rgb[2] = static_cast<unsigned char>(e->c3);
                }
            }
            std::copy(rgb, rgb + 3, line + 3 * x);
        }
    }
    return image;
}

} // namespace

std::optional<MapLayer> loadMapLayer(const LayerDescriptor& descriptor, const std::string& name) {
    QuietGdalScope quiet;
    auto source = openLayerSource(layerRefOf(descriptor));
    if (!source)
        return std::nullopt;
    MapLayer layer;
    layer.name = name;
    layer.type = descriptor.layerType;
    QRectF bounds;
    if (source->raster) {
        if (!rasterArea(*source, layer.imageArea))
            return std::nullopt;
        layer.image = rasterImage(source->handle());
        if (layer.image.isNull())
            return std::nullopt;
        bounds = layer.imageArea;
    } else {
        if (!loadVector(*source, layer))
            return std::nullopt;
        bounds = layer.polygons.boundingRect().united(layer.lines.boundingRect());
        for (const QPointF& p : layer.points)
            bounds = bounds.united(QRectF(p, p).adjusted(-1e-9, -1e-9, 1e-9, 1e-9));
    }
    if (bounds.isNull())
        return std::nullopt;
    layer.lonLatExtent = {bounds.left(), bounds.bottom(), bounds.right(), bounds.top()};
    return layer;
}

} // namespace strand32
