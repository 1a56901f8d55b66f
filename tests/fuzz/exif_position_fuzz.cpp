// EXIF GPS texts (latitude, its letter, longitude, its letter, split at NUL
// bytes): a position is given only within +-90 and +-180 degrees.
#include "exif_position.h"
#include "fuzz_check.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view parts[4];
    std::string_view rest = fuzz::text(data, size);
    for (auto& part : parts) {
        const auto nul = rest.find('\0');
        part = rest.substr(0, nul);
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    if (const auto p = strand32::parseExifPosition(parts[0], parts[1], parts[2], parts[3])) {
        FUZZ_CHECK(std::isfinite(p->lat) && std::abs(p->lat) <= 90);
        FUZZ_CHECK(std::isfinite(p->lon) && std::abs(p->lon) <= 180);
    }
    return 0;
}
