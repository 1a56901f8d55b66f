#pragma once
// The header of a FlatGeobuf file read from bytes alone: the magic bytes,
// the header's size and its FlatBuffers table (layer name, envelope,
// geometry type, feature count, system). Every offset is checked against
// the header's bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_source.h"

namespace strand32 {

struct FgbHeader {
    std::string name;
    std::vector<double> envelope; // minx, miny, maxx, maxy (and more when written so)
    int geometryType = 0;         // 0 unknown, 1 point ... 17 triangle, as OGR's codes
    bool hasZ = false, hasM = false;
    std::uint64_t featuresCount = 0;
    bool hasCrs = false;
    std::string crsOrganization;
    std::int32_t crsCode = 0;
    std::string crsWkt;
};

// Headers larger than this are not read (GDAL refuses them too).
inline constexpr std::uint32_t kMaxFgbHeaderSize = 10 << 20;

// Nothing unless the file starts with FlatGeobuf's magic (major version 3)
// and its header is a well-formed table within its stated size.
std::optional<FgbHeader> readFgbHeader(std::uint64_t fileSize, const ReadBytes& bytes);

} // namespace strand32
