#pragma once
// The coordinate systems of PROJ's EPSG registry, grouped and keyed as the
// database holds them. The generator writes datora.dat from it, and the
// identification of a file's coordinate system looks its EPSG code up in it,
// so both name every system the same way.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "database.h"

namespace quill32 {

struct CatalogEntry {
    int group = -1;
    int system = -1;
    std::uint32_t datum = 0;
    std::string units;
};

class Catalog {
public:
    // Reads the EPSG tables of proj.db; nullptr with a reason on failure.
    static std::unique_ptr<Catalog> load(const std::string& projDbPath, std::string& error);
    // The process-wide catalog read from PROJ's own proj.db on first use;
    // nullptr when that database cannot be read.
    static const Catalog* instance();

    const Database& database() const { return db_; }

    // A geographic or projected EPSG CRS; nullptr when not known.
    const CatalogEntry* findCrs(int epsgCode) const;
    // Group and system of an EPSG conversion (group = -1 when not known).
    std::pair<int, int> findConversion(int epsgCode) const;
    std::optional<std::uint32_t> findDatumCode(int epsgCode) const;
    // By datum name or by the name of its geographic CRS ("WGS 84").
    std::optional<std::uint32_t> findDatumName(std::string_view name) const;

private:
    Database db_;
    std::unordered_map<int, CatalogEntry> crs_;
    std::unordered_map<int, std::pair<int, int>> conversions_;
    std::unordered_map<int, std::uint32_t> datumCodes_;
    std::unordered_map<std::string, std::uint32_t> datumNames_;

    friend class CatalogBuilder;
};

} // namespace quill32
