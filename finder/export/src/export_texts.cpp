// The export's texts: key fields, and what a footprint export came to.
#include "finder/export/export_row.h"
#include "finder/export/footprint_export.h"
#include "finder/joined_text.h"

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

} // namespace finder
