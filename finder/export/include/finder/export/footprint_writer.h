#pragma once
// Writes the footprints of found files as a vector layer in longitude/latitude
// (WGS 84), one polygon per file with its row texts and coordinate-system
// keys as attributes, in the GDAL vector format its file name's extension
// names (.gpkg, .geojson, .shp, .fgb ...).
#include "finder/found_file.h"

#include <cstddef>
#include <string>
#include <vector>

namespace finder {

// The attribute fields, in order: the five row texts, then the four keys.
inline constexpr const char* kFootprintFields[] = {"name",  "folder", "size",  "type", "modified",
                                                   "group", "system", "datum", "units"};

struct FootprintExport {
    std::size_t written = 0; // files with a footprint
    std::size_t leftOut = 0; // files without a known extent
    std::string error;       // non-empty: nothing or not everything was written
};

// The GDAL driver that writes vector files named like `path` (by its
// extension, letter case ignored); empty when none does.
std::string footprintFormatFor(const std::string& path);

// Replaces `path` with a layer named after the file holding the footprints
// of `rows`, in their order.
FootprintExport exportFootprints(const std::string& path, const std::vector<RowTexts>& rows);

// "No GDAL vector format writes files named NAME", for a path without a format.
std::string noFootprintFormatText(const std::string& path);
// "Footprints of N file(s) written to PATH", then "; M file(s) without a
// known extent left out" when some were.
std::string footprintsWrittenText(const FootprintExport& result, const std::string& path);

} // namespace finder
