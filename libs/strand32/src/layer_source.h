#pragma once
// Opens the data file a LayerRef names, with the GDAL driver of its
// kind only, and gathers the georeferencing its companions supply.
#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "exif_position.h"
#include "gdal_support.h"
#include "strand32/layer.h"

namespace strand32 {

using GeoTransform = std::array<double, 6>;

struct LayerSource {
    // Held while the dataset lives, for a driver not safe across threads.
    std::shared_ptr<std::lock_guard<std::mutex>> driverLock;
    DatasetPtr dataset;
    bool raster = false;
    // Raster only: pixel-to-map transform, from the file or a companion.
    std::optional<GeoTransform> geoTransform;
    // WKT of the coordinate system a companion (raster .TAB) gives, when the
    // file itself names none.
    std::string companionWkt;
    // The companion of slot 1 that was read (world file or raster .TAB), or
    // the raster table a table layer stands for; empty when none.
    std::string companionFile;
    // A photo placed by nothing else (no transform of its own, no companion,
    // no control points): where its EXIF GPS tags say it was taken.
    std::optional<LonLat> photoPlace;

    GDALDatasetH handle() const { return static_cast<GDALDatasetH>(dataset.get()); }
};

// Nothing when the file cannot be opened as a layer of its kind. Call within
// a QuietGdalScope.
std::optional<LayerSource> openLayerSource(const LayerRef& layer);

} // namespace strand32
