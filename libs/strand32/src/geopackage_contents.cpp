// The GeoPackage catalogue read with SQLite, and the rules under which it
// stands for GDAL's answer. GDAL's GetExtent of a feature table is the
// extent gpkg_contents records; an R*Tree index bounds the data with 32-bit
// floats rounded outward, so a recorded extent is stale when the index
// reaches beyond it by more than that rounding.
#include "geopackage_contents.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "byte_source.h"
#include "geometry_names.h"
#include "sqlite_file.h"

namespace strand32 {
namespace {

// Tables read at most, as GDAL lists at most 10,000.
constexpr int kMaxTables = 10000;
constexpr std::size_t kMaxNodeBytes = 1 << 16;
constexpr std::size_t kCellBytes = 8 + 4 * 4;

float floatAt(const unsigned char* p) {
    const std::uint32_t bits = std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                               std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Writers store a bound of the index as a 32-bit float not above (for a
// minimum) or not below (for a maximum) the double, and GDAL's writer of
// inner nodes may go a step further; a few steps are the index's rounding.
constexpr int kIndexRoundingSteps = 4;

double floatDown(double v) {
    float f = static_cast<float>(v);
    if (static_cast<double>(f) > v)
        f = std::nextafter(f, -INFINITY);
    for (int i = 0; i < kIndexRoundingSteps; ++i)
        f = std::nextafter(f, -INFINITY);
    return f;
}
double floatUp(double v) {
    float f = static_cast<float>(v);
    if (static_cast<double>(f) < v)
        f = std::nextafter(f, INFINITY);
    for (int i = 0; i < kIndexRoundingSteps; ++i)
        f = std::nextafter(f, INFINITY);
    return f;
}

void readSystem(sqlite3* db, bool hasWkt2, GpkgTable& table) {
    SqliteQuery query(db, std::string("SELECT organization, organization_coordsys_id, definition") +
                              (hasWkt2 ? ", definition_12_063" : "") +
                              " FROM gpkg_spatial_ref_sys WHERE srs_id = ?");
    query.bind(1, std::to_string(table.srsId));
    if (!query.next())
        return;
    table.srsFound = true;
    table.organization = query.text(0);
    table.organizationCode = query.integer(1);
    table.definition = query.text(2);
    if (hasWkt2)
        table.definitionWkt2 = query.text(3);
}

void readIndex(sqlite3* db, GpkgTable& table) {
    if (table.geometryColumn.empty())
        return;
    SqliteQuery listed(db, "SELECT 1 FROM gpkg_extensions WHERE lower(table_name) = lower(?) AND "
                           "lower(column_name) = lower(?) AND extension_name = 'gpkg_rtree_index'");
    listed.bind(1, table.name);
    listed.bind(2, table.geometryColumn);
    if (!listed.next())
        return;
    const std::string rtree = "rtree_" + table.name + "_" + table.geometryColumn;
    SqliteQuery made(db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?");
    made.bind(1, rtree);
    // Only an index of 32-bit float bounds (rtree, not rtree_i32).
    if (!made.next() || made.text(0).find("rtree(") == std::string::npos)
        return;
    SqliteQuery root(db,
                     "SELECT data FROM " + quotedIdentifier(rtree + "_node") + " WHERE nodeno = 1");
    if (!root.next())
        return;
    table.hasIndex = true;
    table.indexed = rtreeNodeExtent(root.blob(0, kMaxNodeBytes));
}

std::optional<Extent> recordedExtent(const SqliteQuery& row, int first) {
    for (int i = first; i < first + 4; ++i) {
        if (row.isNull(i))
            return std::nullopt;
    }
    // GDAL reads the bounds as SQLite's texts of them (15 digits), so they
    // are read the same way here.
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const std::string text = row.text(first + i);
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v[i]);
        if (ec != std::errc())
            return std::nullopt;
    }
    const double minX = v[0], minY = v[1], maxX = v[2], maxY = v[3];
    if (!std::isfinite(minX) || !std::isfinite(minY) || !std::isfinite(maxX) ||
        !std::isfinite(maxY) || minX > maxX || minY > maxY)
        return std::nullopt;
    return Extent{minX, maxY, maxX, minY};
}

} // namespace

bool recordedExtentStale(const GpkgTable& t) {
    if (!t.recorded || !t.hasIndex || !t.indexed)
        return false;
    const Extent& r = *t.recorded;
    const Extent& i = *t.indexed;
    return i.west < floatDown(r.west) || i.south < floatDown(r.south) || i.east > floatUp(r.east) ||
           i.north > floatUp(r.north);
}

std::optional<Extent> rtreeNodeExtent(std::string_view node) {
    const auto* p = reinterpret_cast<const unsigned char*>(node.data());
    if (node.size() < 4)
        return std::nullopt;
    const std::size_t cells = std::size_t{p[2]} << 8 | p[3];
    if (cells == 0 || node.size() - 4 < cells * kCellBytes)
        return std::nullopt;
    Extent box{INFINITY, -INFINITY, -INFINITY, INFINITY};
    for (std::size_t c = 0; c < cells; ++c) {
        const unsigned char* cell = p + 4 + c * kCellBytes + 8;
        const double minX = floatAt(cell), maxX = floatAt(cell + 4);
        const double minY = floatAt(cell + 8), maxY = floatAt(cell + 12);
        if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) ||
            !std::isfinite(maxY) || minX > maxX || minY > maxY)
            return std::nullopt;
        box.west = std::min(box.west, minX);
        box.east = std::max(box.east, maxX);
        box.south = std::min(box.south, minY);
        box.north = std::max(box.north, maxY);
    }
    return box;
}

std::optional<GpkgContents> readGeoPackageContents(const std::string& path) {
    const auto file = SqliteFile::open(path);
    if (!file || !file->hasTable("gpkg_contents") || !file->hasTable("gpkg_spatial_ref_sys"))
        return std::nullopt;
    sqlite3* db = file->handle();
    const bool hasColumns = file->hasTable("gpkg_geometry_columns");
    const bool hasExtensions = file->hasTable("gpkg_extensions");
    const bool hasWkt2 = SqliteQuery(db, "SELECT definition_12_063 FROM gpkg_spatial_ref_sys").ok();
    const std::string sql =
        hasColumns ? "SELECT c.table_name, c.data_type, c.min_x, c.min_y, c.max_x, c.max_y, "
                     "coalesce(g.srs_id, c.srs_id), g.column_name, g.geometry_type_name, g.z, g.m "
                     "FROM gpkg_contents c LEFT JOIN gpkg_geometry_columns g "
                     "ON g.table_name = c.table_name LIMIT " +
                         std::to_string(kMaxTables)
                   : "SELECT table_name, data_type, min_x, min_y, max_x, max_y, srs_id "
                     "FROM gpkg_contents LIMIT " +
                         std::to_string(kMaxTables);
    SqliteQuery rows(db, sql);
    if (!rows.ok())
        return std::nullopt;
    GpkgContents contents;
    while (rows.next()) {
        GpkgTable table;
        table.name = rows.text(0);
        table.dataType = rows.text(1);
        table.recorded = recordedExtent(rows, 2);
        table.srsId = rows.isNull(6) ? 0 : rows.integer(6);
        if (hasColumns && !rows.isNull(7)) {
            table.geometryColumn = rows.text(7);
            table.geometryType = geometryTypeName(rows.text(8), static_cast<int>(rows.integer(9)),
                                                  static_cast<int>(rows.integer(10)));
        }
        contents.tables.push_back(std::move(table));
    }
    for (GpkgTable& table : contents.tables) {
        readSystem(db, hasWkt2, table);
        if (hasExtensions)
            readIndex(db, table);
    }
    return contents;
}

std::vector<std::string> staleExtentTables(const GpkgContents& contents) {
    std::vector<std::string> names;
    for (const GpkgTable& t : contents.tables) {
        if (recordedExtentStale(t))
            names.push_back(t.name);
    }
    return names;
}

} // namespace strand32
