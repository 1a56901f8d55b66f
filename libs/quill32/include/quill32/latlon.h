#pragma once
// Reading and writing latitude/longitude texts (the Datora_LLStringToDbl
// and Datora_*ToString functions are built on these): signed decimal degrees,
// hemisphere letters before or after, and degrees minutes seconds separated
// by blanks or by degree, minute and second marks.
#include <cstddef>
#include <string>
#include <string_view>

namespace quill32 {

enum class LatLonStatus : short {
    Ok = 0,
    Empty = 6,           // nothing to read (blank text, a lone sign or point): valid, no value
    DegreesRange = 7,    // the degrees exceed 90 (latitude) or 180 (longitude)
    Malformed = 8,       // not a latitude/longitude text
    HemisphereRange = 9, // out of range, written with a hemisphere letter
    ValueRange = 10,     // degrees in range but with minutes and seconds beyond the bound
    MinutesRange = 11,   // minutes not below 60
    SecondsRange = 12,   // seconds not below 60
};

struct LatLonResult {
    LatLonStatus status = LatLonStatus::Malformed;
    double degrees = 0.0;     // signed decimal degrees when status is Ok
    std::size_t position = 0; // where the fault is, for the caller's selection
};

LatLonResult parseLatLon(std::string_view text, bool longitude);

// Display text of a latitude/longitude. format 0: signed decimal degrees
// ("-12.500000"); any other value: degrees, minutes, seconds to the
// thousandth and hemisphere ("12°30'00.000\"S", UTF-8 degree sign), which
// parseLatLon reads back within 1.4e-7 degrees. Empty for a value that is
// not finite.
std::string formatLatLon(double degrees, bool longitude, int format);

} // namespace quill32
