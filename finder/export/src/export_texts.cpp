// The export's texts: key fields, what a footprint export came to, and the
// coverage of an area.
#include "finder/export/coverage_export.h"
#include "finder/export/export_row.h"
#include "finder/export/footprint_export.h"
#include "finder/joined_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace finder {

std::string keyText(const char (&key)[quill32::kKeySize]) {
    return std::string(key, strnlen(key, quill32::kKeySize));
}

std::string noFootprintFormatText(const std::string& path) {
    return joined({"No GDAL vector format writes files named ",
                   std::filesystem::path(path).filename().string(),
                   " (use .gpkg, .geojson, .shp or .fgb)"});
}

std::string footprintsWrittenText(const FootprintExport& result, const std::string& path) {
    std::string text =
        joined({"Footprints of ", std::to_string(result.written), " file(s) written to ", path});
    if (result.leftOut > 0)
        text += joined(
            {"; ", std::to_string(result.leftOut), " file(s) without a known extent left out"});
    return text;
}

int coveredPercent(double share) {
    constexpr double kWhole = 1.0 - 1e-6, kNone = 1e-6; // below the measure's rounding
    if (!(share > kNone))
        return 0;
    if (share >= kWhole)
        return 100;
    const long percent = std::lround(share * 100);
    return static_cast<int>(std::clamp(percent, 1L, 99L));
}

std::string areaCoveredText(double share) {
    return joined({"Area covered: ", std::to_string(coveredPercent(share)), "%"});
}

std::string gapsWrittenText(const CoverageExport& result, const std::string& path) {
    return joined(
        {std::to_string(result.gaps), " uncovered part(s) of the area written to ", path});
}

} // namespace finder
