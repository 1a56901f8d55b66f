#pragma once
// The fixed 100-byte header that starts a shapefile's main (.shp) and index
// (.shx) file, and the index records after it, read from bytes alone: what
// a shapefile states about itself without GDAL.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace strand32 {

inline constexpr std::size_t kShapeHeaderSize = 100;
inline constexpr std::size_t kShapeIndexRecordSize = 8;

struct ShapeHeader {
    std::uint64_t fileBytes = 0; // the length field (16-bit words) in bytes
    std::int32_t shapeType = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Nothing unless the header is plainly valid: file code 9994, version 1000,
// a shape type other than null, and a finite box with min <= max.
std::optional<ShapeHeader> parseShapeHeader(std::span<const unsigned char, kShapeHeaderSize> bytes);

// True when every index record (offset and length, 16-bit words,
// big-endian) is one the shapefile reader accepts: offsets not beyond
// INT_MAX and lengths not beyond INT_MAX / 2 - 4 words. `records` holds
// whole records only.
bool shapeIndexRecordsValid(std::span<const unsigned char> records);

} // namespace strand32
