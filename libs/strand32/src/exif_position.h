#pragma once
// The place a photo was taken, from its EXIF GPS tags as GDAL reports them
// in the dataset's metadata (EXIF_GPSLatitude "(45) (30) (15.5)" with
// EXIF_GPSLatitudeRef "N", and the same for the longitude).
#include <optional>
#include <string_view>

#include <gdal.h>

namespace strand32 {

struct LonLat {
    double lon = 0, lat = 0;
};

// Degrees from the latitude, longitude and their reference letters; nothing
// unless each value is one to three numbers in parentheses (degrees,
// minutes, seconds; minutes and seconds below 60), the letters are N/S and
// E/W, and the place lies within +-90 and +-180.
std::optional<LonLat> parseExifPosition(std::string_view latitude, std::string_view latitudeRef,
                                        std::string_view longitude, std::string_view longitudeRef);

// The position in an open dataset's EXIF metadata; nothing without one.
std::optional<LonLat> exifPosition(GDALDatasetH dataset);

} // namespace strand32
