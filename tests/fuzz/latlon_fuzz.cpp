// Latitude/longitude texts: any text is read or refused with a position
// inside it; a value read lies within its bound, and both display texts of
// it read back to the same value.
#include "fuzz_check.h"
#include "quill32/latlon.h"

#include <cmath>

namespace {

void checkReadsBack(double degrees, bool longitude, int format, double tolerance) {
    const std::string text = quill32::formatLatLon(degrees, longitude, format);
    const auto again = quill32::parseLatLon(text, longitude);
    FUZZ_CHECK(again.status == quill32::LatLonStatus::Ok);
    FUZZ_CHECK(std::fabs(again.degrees - degrees) <= tolerance);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::text(data, size);
    for (const bool longitude : {false, true}) {
        const auto r = quill32::parseLatLon(text, longitude);
        FUZZ_CHECK(r.position <= text.size());
        if (r.status != quill32::LatLonStatus::Ok)
            continue;
        FUZZ_CHECK(std::fabs(r.degrees) <= (longitude ? 180.0 : 90.0));
        checkReadsBack(r.degrees, longitude, 0, 0.5e-6 + 1e-12);
        // Hundredths of a second.
        checkReadsBack(r.degrees, longitude, 1, 0.5 / 360000 + 1e-12);
    }
    return 0;
}
