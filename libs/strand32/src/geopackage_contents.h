#pragma once
// What a GeoPackage states about its tables in its own catalogue:
// gpkg_contents (kind, recorded extent, system), gpkg_geometry_columns
// (geometry type), gpkg_spatial_ref_sys (the system's definition) and the
// root of each table's spatial index. Read with SQLite, not GDAL; whether
// the statement may stand for what GDAL reports is decided apart
// (geoPackageFactsFromContents).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "strand32/file_facts.h"

namespace strand32 {

struct GpkgTable {
    std::string name;
    std::string dataType;     // "features", "tiles", "attributes", ...
    std::string geometryType; // of gpkg_geometry_columns; empty when not listed there
    std::string geometryColumn;
    std::optional<Extent> recorded; // gpkg_contents, when all four bounds are numbers
    bool hasIndex = false;          // an R*Tree index of GeoPackage's kind
    std::optional<Extent> indexed;  // the box of the index's root; none when empty
    std::int64_t srsId = 0;
    std::string organization;
    std::int64_t organizationCode = 0;
    std::string definition;     // WKT 1; empty when missing
    std::string definitionWkt2; // definition_12_063; empty when missing
    bool srsFound = false;      // the system's row exists
};

struct GpkgContents {
    std::vector<GpkgTable> tables;
};

// The contents of the GeoPackage `path`; nothing when it is no SQLite file
// (or cannot be opened as one) or lacks gpkg_contents or
// gpkg_spatial_ref_sys.
std::optional<GpkgContents> readGeoPackageContents(const std::string& path);

// The box of an R*Tree node of two dimensions with 32-bit float bounds
// (SQLite's layout: depth, cell count, then cells of a 64-bit id and
// minx, maxx, miny, maxy, all big-endian): the union of its cells; nothing
// when it has none, is cut short or holds a bound that is not finite or a
// cell with min > max.
std::optional<Extent> rtreeNodeExtent(std::string_view node);

// The facts the catalogue gives on its own, when they are what GDAL reports:
// every spatial table a feature table with its recorded extent (GDAL's
// GetExtent), an index (when there is one) holding nothing outside it, and
// a system defined in the file. Nothing when any table needs GDAL: a
// recorded extent missing or stale, tiles or coverages, an undefined or
// missing system. Attribute tables are not layers; `keys`, `counts` and the
// area in degrees are left for the caller.
std::optional<FileFacts> geoPackageFactsFromContents(const GpkgContents& contents, LayerType kind);

// True when the table's index reaches beyond its recorded extent by more
// than the index's rounding to 32-bit floats: data lie outside it.
bool recordedExtentStale(const GpkgTable& table);

// The tables whose recorded extent the index shows to be stale.
std::vector<std::string> staleExtentTables(const GpkgContents& contents);

} // namespace strand32
