// LAS public header and records: any bytes give a header only with a known
// version and format, finite bounds in order, a point count the file can
// hold (unless compressed), and a key directory only when well formed;
// nothing is read outside the input.
#include "fuzz_check.h"
#include "las_header.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto reading = strand32::readLasHeader(size, fuzz::memoryBytes(data, size));
    FUZZ_CHECK(reading.header.has_value() == reading.error.empty());
    if (const auto& h = reading.header) {
        FUZZ_CHECK(h->versionMinor <= 4 && h->pointFormat <= 10);
        FUZZ_CHECK(std::isfinite(h->minX) && std::isfinite(h->maxY));
        if (h->pointCount > 0)
            FUZZ_CHECK(h->minX <= h->maxX && h->minY <= h->maxY && h->minZ <= h->maxZ);
        if (!h->compressed)
            FUZZ_CHECK(h->pointCount <= size);
        if (!h->geoKeys.empty())
            FUZZ_CHECK(h->geoKeys[0] == 1 &&
                       4 + std::size_t{h->geoKeys[3]} * 4 <= h->geoKeys.size());
        FUZZ_CHECK(h->wkt.size() <= size && h->geoAscii.size() <= size);
    }
    return 0;
}
