#pragma once
// The coverage of a search area by the footprints of found rows, and its
// uncovered parts written as polygons in longitude/latitude (WGS 84) in the
// GDAL vector format the file name's extension names.
#include "finder/export/coverage_export.h"
#include "finder/export/export_row.h"

#include <strand32/map_footprint.h>
#include <strand32/mapora_layer.h>

#include <string>
#include <vector>

namespace finder {

// The footprints of the rows with a known extent, in their order, from the
// facts they carry (a row without facts is read now).
std::vector<strand32::LonLatRing> footprintRings(const std::vector<ExportRow>& rows);

// The share of `area` (west, north, east, south in degrees) the rows'
// footprints cover; with `gapsPath`, the uncovered parts replace that file,
// one polygon each.
CoverageExport exportCoverage(const MaporaExtent& area, const std::vector<ExportRow>& rows,
                              const std::string& gapsPath);

// Replaces `path` with the polygons, one feature each; the first failure,
// empty when none.
std::string writeLonLatPolygons(const std::string& path,
                                const std::vector<strand32::LonLatPolygon>& polygons);

} // namespace finder
