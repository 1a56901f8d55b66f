// Content tests: SQLite's header and catalogue, the Imagine header tag, the
// geodatabase's first table.
#include "kind_by_content.h"

#include <cstring>
#include <fcntl.h>

#include "regular_file.h"
#include "sqlite_file.h"

namespace strand32 {
namespace {

// GeoPackage application ids: "GPKG", "GP10", "GP11".
bool isGeoPackageId(std::uint32_t id) {
    return id == 0x47504B47 || id == 0x47503130 || id == 0x47503131;
}

LayerType sqliteKind(const std::string& path) {
    const auto db = SqliteFile::open(path);
    if (!db)
        return LayerType::None;
    if (isGeoPackageId(db->header().applicationId) || db->hasTable("gpkg_contents"))
        return LayerType::GeoPackage;
    if (db->hasTable("geometry_columns") && db->hasTable("spatial_ref_sys"))
        return LayerType::SpatiaLite;
    return LayerType::None;
}

bool isImagine(const std::string& path) {
    static constexpr char kTag[] = "EHFA_HEADER_TAG";
    char head[sizeof kTag - 1];
    const auto file = RegularFile::open(path);
    return file && file->readAt(head, sizeof head, 0) && std::memcmp(head, kTag, sizeof head) == 0;
}

} // namespace

LayerType kindByContent(const std::string& path, LayerType byName) {
    switch (byName) {
    case LayerType::SpatiaLite:
        return sqliteKind(path);
    case LayerType::ErdasImagine:
        return isImagine(path) ? byName : LayerType::None;
    case LayerType::FileGdb:
        return isGeodatabaseFolder(AT_FDCWD, path.c_str()) ? byName : LayerType::None;
    default:
        return byName;
    }
}

} // namespace strand32
