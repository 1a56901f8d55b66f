#pragma once
// Damages the table of entries of a footprint cache file while leaving its
// schema readable: the file opens as a cache, and the first look-up of an
// entry finds the damage.
#include <sqlite3.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace testsupport {

// Damages the first page of the table (or index) `table` of a cache file.
inline void corruptCacheTable(const std::string& file, const std::string& table) {
    sqlite3* db = nullptr;
    long long root = 0, pageSize = 0;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        // Every change is moved from the log into the file first.
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM "
                               "sqlite_schema WHERE name = ?1",
                               -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_bind_text(s, 1, table.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW) {
            root = sqlite3_column_int64(s, 0);
            pageSize = sqlite3_column_int64(s, 1);
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    if (root < 2 || pageSize <= 0)
        throw std::runtime_error("no table " + table + " in " + file);
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp((root - 1) * pageSize);
    const std::string garbage(static_cast<std::size_t>(pageSize), '\xAB');
    out.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    if (!out)
        throw std::runtime_error("cannot damage " + file);
}

inline void corruptFootprintTable(const std::string& file) {
    corruptCacheTable(file, "footprint");
}

} // namespace testsupport
