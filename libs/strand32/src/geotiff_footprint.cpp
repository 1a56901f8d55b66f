// The GeoTIFF header reader. GDAL's GeoTIFF reader places the image by its
// own tags unless a file beside it (.aux.xml, world file, table) says
// otherwise, and names its system from the GeoTIFF keys alone; so a file
// with nothing beside it and no setting of GDAL's that changes this is read
// here, its extent computed as GDAL computes it. A definition's system is
// kept only when GDAL's extent of the file it came from equals ours.
#include "geotiff_footprint.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "crs_memo.h"
#include "file_lookup.h"
#include "layer_reading.h"
#include "regular_file.h"
#include "shape_footprint.h"
#include "tiff_header.h"

extern char** environ;

namespace strand32 {
namespace {

// Settings that change how GDAL reads a GeoTIFF's place or system, or where
// it looks for files beside it.
bool gdalSettingsInEnvironment() {
    static const bool found = [] {
        for (char** var = environ; var != nullptr && *var != nullptr; ++var) {
            for (const char* prefix : {"GTIFF_", "GEOTIFF_", "GDAL_PAM", "GDAL_GEOREF"}) {
                if (std::strncmp(*var, prefix, std::strlen(prefix)) == 0)
                    return true;
            }
        }
        return false;
    }();
    return found;
}

bool allFinite(const std::vector<double>& values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

struct HeaderReading {
    MaporaExtent extent{};
    std::string key; // the GeoTIFF keys
};

std::optional<HeaderReading> readHeader(const LayerRef& layer) {
    const std::string path = resolveNoCase(layer.file);
    const auto dot = path.rfind('.');
    if (path.empty() || dot == std::string::npos ||
        !equalsNoCase(std::string_view(path).substr(dot), ".tif") || gdalSettingsInEnvironment() ||
        hasSideFiles(path))
        return std::nullopt;
    const auto file = RegularFile::open(path);
    if (!file)
        return std::nullopt;
    const auto header =
        readTiffGeoHeader(file->size(), [&](std::uint64_t at, std::size_t n, unsigned char* out) {
            return file->readAt(out, n, at);
        });
    if (!header || !header->plainImage || header->pixelScale.size() < 2 ||
        header->tiePoints.size() != 6 || !header->transformation.empty() ||
        !allFinite(header->pixelScale) || !allFinite(header->tiePoints) ||
        !(header->pixelScale[0] > 0 && header->pixelScale[1] > 0))
        return std::nullopt;
    const int rasterType = tiffRasterType(*header);
    if (rasterType < 0 || rasterType > 2)
        return std::nullopt;
    // As GDAL: the tie point's pixel placed at its model point, rows going
    // south; a pixel that is a point moves the corner half a pixel out.
    const std::vector<double>& tie = header->tiePoints;
    GeoTransform gt{0, header->pixelScale[0], 0, 0, 0, -header->pixelScale[1]};
    gt[0] = tie[3] - tie[0] * gt[1];
    gt[3] = tie[4] - tie[1] * gt[5];
    if (rasterType == 2) {
        gt[0] -= (gt[1] * 0.5 + gt[2] * 0.5);
        gt[3] -= (gt[4] * 0.5 + gt[5] * 0.5);
    }
    const MaporaExtent extent = cornersOf(gt, header->width, header->height);
    if (!std::isfinite(extent.west) || !std::isfinite(extent.east) ||
        !std::isfinite(extent.north) || !std::isfinite(extent.south))
        return std::nullopt;
    return HeaderReading{extent, tiffGeoKeyText(*header)};
}

bool sameExtent(const MaporaExtent& a, const MaporaExtent& b) {
    return a.west == b.west && a.north == b.north && a.east == b.east && a.south == b.south;
}

} // namespace

LayerFootprint readGeoTiffFootprint(const LayerRef& layer) {
    const auto reading = readHeader(layer);
    if (reading) {
        if (auto crs = rememberedCrs(reading->key)) {
            LayerFootprint footprint;
            footprint.extent = reading->extent;
            footprint.crs = std::move(*crs);
            footprint.fromHeader = true;
            return footprint;
        }
    }
    LayerFootprint footprint = readFootprintWithGdal(layer);
    if (reading && footprint.extent && sameExtent(*footprint.extent, reading->extent) &&
        footprint.companions.empty())
        rememberCrs(reading->key, footprint.crs);
    return footprint;
}

} // namespace strand32
