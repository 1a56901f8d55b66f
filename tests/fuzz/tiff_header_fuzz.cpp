// GeoTIFF first directory: any bytes give a header only when every tag read
// lies within them; the key directory is judged without reading past its
// values, and the key text tells headers with other keys apart.
#include "fuzz_check.h"
#include "tiff_header.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header =
        strand32::readTiffGeoHeader(size, [&](std::uint64_t at, std::size_t n, unsigned char* out) {
            FUZZ_CHECK(at <= size && n <= size - at); // never asked beyond the end
            std::memcpy(out, data + at, n);
            return true;
        });
    if (!header)
        return 0;
    const int rasterType = strand32::tiffRasterType(*header);
    if (rasterType > 0)
        FUZZ_CHECK(header->hasGeoKeys && header->geoKeys.size() >= 8);
    FUZZ_CHECK(!header->plainImage || (header->width > 0 && header->height > 0));
    strand32::TiffGeoHeader other = *header;
    other.geoAscii.push_back('x');
    FUZZ_CHECK(strand32::tiffGeoKeyText(other) != strand32::tiffGeoKeyText(*header));
    return 0;
}
