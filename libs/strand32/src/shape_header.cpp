// The shapefile header and index records: big-endian file code, length and
// record fields, little-endian version, type and box.
#include "shape_header.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace strand32 {
namespace {

constexpr std::uint32_t kFileCode = 9994;
constexpr std::uint32_t kVersion = 1000;

std::uint32_t bigEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 |
           std::uint32_t{p[0]};
}

double littleEndianDouble(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | p[i];
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool isShapeType(std::int32_t type) {
    switch (type) {
    case 1:  // point
    case 3:  // arc
    case 5:  // polygon
    case 8:  // multipoint
    case 11: // the same with Z
    case 13:
    case 15:
    case 18:
    case 21: // the same with M
    case 23:
    case 25:
    case 28:
    case 31: // multipatch
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<ShapeHeader>
parseShapeHeader(std::span<const unsigned char, kShapeHeaderSize> bytes) {
    const unsigned char* p = bytes.data();
    if (bigEndian32(p) != kFileCode || littleEndian32(p + 28) != kVersion)
        return std::nullopt;
    ShapeHeader header;
    header.fileBytes = std::uint64_t{bigEndian32(p + 24)} * 2;
    header.shapeType = static_cast<std::int32_t>(littleEndian32(p + 32));
    header.xMin = littleEndianDouble(p + 36);
    header.yMin = littleEndianDouble(p + 44);
    header.xMax = littleEndianDouble(p + 52);
    header.yMax = littleEndianDouble(p + 60);
    if (!isShapeType(header.shapeType))
        return std::nullopt;
    const double box[] = {header.xMin, header.yMin, header.xMax, header.yMax};
    for (double v : box) {
        if (!std::isfinite(v))
            return std::nullopt;
    }
    if (!(header.xMin <= header.xMax && header.yMin <= header.yMax))
        return std::nullopt;
    return header;
}

bool shapeIndexRecordsValid(std::span<const unsigned char> records) {
    if (records.size() % kShapeIndexRecordSize != 0)
        return false;
    for (std::size_t at = 0; at < records.size(); at += kShapeIndexRecordSize) {
        const std::uint32_t offset = bigEndian32(records.data() + at);
        const std::uint32_t length = bigEndian32(records.data() + at + 4);
        if (offset > std::uint32_t{INT_MAX} || length > std::uint32_t{INT_MAX / 2 - 4})
            return false;
    }
    return true;
}

} // namespace strand32
