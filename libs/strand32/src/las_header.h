#pragma once
// The public header of a LAS point cloud (versions 1.0 to 1.4) and the
// records after it that name its coordinate system, read from bytes alone.
// A .laz file starts with the same header, its point format marked as
// compressed. Every field is checked against the version and the file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_source.h"

namespace strand32 {

struct LasHeader {
    int versionMinor = 0;    // 1.0 to 1.4
    int pointFormat = 0;     // 0 to 10, the compression bits taken off
    bool compressed = false; // the format marked as compressed (LAZ)
    std::uint64_t pointCount = 0;
    double minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
    // The global encoding says the system is given as WKT (1.4).
    bool wktFlag = false;
    // The GeoTIFF keys of the LASF_Projection records 34735 to 34737; the
    // key directory only when it is well formed.
    std::vector<std::uint16_t> geoKeys;
    std::vector<double> geoDoubles;
    std::string geoAscii;
    // The WKT of record 2112 (a record or, in 1.4, an extended one).
    std::string wkt;
};

struct LasReading {
    std::optional<LasHeader> header;
    std::string error; // why there is none
};

// Reads the header of a file of `fileSize` bytes. No header, with the
// reason, when any field is out of its range: the signature, the version,
// the sizes and offsets (within the file, records before the points), the
// point format and record length, finite scales and bounds with min <= max,
// the point counts (1.4: the 64-bit count, the legacy one 0 or equal), and,
// unless compressed, the point records within the file.
LasReading readLasHeader(std::uint64_t fileSize, const ReadBytes& bytes);

} // namespace strand32
