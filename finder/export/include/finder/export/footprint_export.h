#pragma once
// What writing the footprints of found files came to, and its texts for the
// user. Free of GDAL: kavrel-find writes footprints through the layer module.
#include <cstddef>
#include <string>

namespace finder {

struct FootprintExport {
    std::size_t written = 0; // files with a footprint
    std::size_t leftOut = 0; // files without a known extent
    std::string error;       // non-empty: nothing or not everything was written
};

// "No GDAL vector format writes files named NAME", for a path without a format.
std::string noFootprintFormatText(const std::string& path);
// "Footprints of N file(s) written to PATH", then "; M file(s) without a
// known extent left out" when some were.
std::string footprintsWrittenText(const FootprintExport& result, const std::string& path);

} // namespace finder
