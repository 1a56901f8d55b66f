#pragma once
// Coordinate systems that headers state as text (WKT, an authority code, or
// GeoTIFF keys kept apart from a TIFF), made into GDAL's WKT the way GDAL's
// own drivers read them. Each definition is turned once per process.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace strand32 {

struct NamedCrs {
    std::string wkt; // WKT2, as GDAL writes it
    std::string name;
    bool operator==(const NamedCrs&) const = default;
};

// A WKT text (either version); nothing when GDAL cannot read it.
std::optional<NamedCrs> crsFromWkt(const std::string& wkt);

// An authority's code ("EPSG", 4326); nothing when unknown.
std::optional<NamedCrs> crsFromCode(const std::string& authority, int code);

// GeoTIFF keys with their double and text values, as GDAL's GeoTIFF driver
// reads them: placed in a one-pixel TIFF in memory that the driver opens.
std::optional<NamedCrs> crsFromGeoKeys(const std::vector<std::uint16_t>& keys,
                                       const std::vector<double>& doubles,
                                       const std::string& ascii);

} // namespace strand32
