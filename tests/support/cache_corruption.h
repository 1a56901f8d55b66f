#pragma once
// Damages the table of entries of a footprint cache file while leaving its
// schema readable: the file opens as a cache, and the first look-up of an
// entry finds the damage.
#include <sqlite3.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace testsupport {

inline void corruptFootprintTable(const std::string& file) {
    sqlite3* db = nullptr;
    long long root = 0, pageSize = 0;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        // Every change is moved from the log into the file first.
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM "
                               "sqlite_schema WHERE name = 'footprint'",
                               -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW) {
            root = sqlite3_column_int64(s, 0);
            pageSize = sqlite3_column_int64(s, 1);
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    if (root < 2 || pageSize <= 0)
        throw std::runtime_error("no table of entries in " + file);
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp((root - 1) * pageSize);
    const std::string garbage(static_cast<std::size_t>(pageSize), '\xAB');
    out.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    if (!out)
        throw std::runtime_error("cannot damage " + file);
}

} // namespace testsupport
