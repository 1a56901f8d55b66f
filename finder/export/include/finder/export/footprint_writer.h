#pragma once
// Writes the footprints of found files as a vector layer in longitude/latitude
// (WGS 84), one polygon per file with its row texts and coordinate-system
// keys as attributes, in the GDAL vector format its file name's extension
// names (.gpkg, .geojson, .shp, .fgb ...).
#include "finder/export/export_row.h"
#include "finder/export/footprint_export.h"

#include <string>
#include <vector>

namespace finder {

// The attribute fields, in order: the five row texts, then the four keys.
inline constexpr const char* kFootprintFields[] = {"name",  "folder", "size",  "type", "modified",
                                                   "group", "system", "datum", "units"};

// The GDAL driver that writes vector files named like `path` (by its
// extension, letter case ignored); empty when none does.
std::string footprintFormatFor(const std::string& path);

// Replaces `path` with a layer named after the file holding the footprints
// of `rows`, in their order: from the facts a row carries (no file the search
// read is opened again), else read from the file now.
FootprintExport exportFootprints(const std::string& path, const std::vector<ExportRow>& rows);

// The facts a row carries; a row without them (kept as texts) is read now,
// with the keys when asked.
strand32::FileFacts factsOfRow(const ExportRow& row, bool keys);

} // namespace finder
