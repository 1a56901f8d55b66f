#pragma once
// The SQLite side of the footprint cache: owners for the connection and its
// statements, the schema, and opening a file with everything prepared.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>

namespace finder {

struct SqliteClose {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct SqliteFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using SqlitePtr = std::unique_ptr<sqlite3, SqliteClose>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, SqliteFinalize>;

// The columns of a footprint entry after its path, in FootprintColumn order.
inline constexpr char kFootprintColumns[] =
    "device, inode, size, modified, folder_device, folder_inode, folder_size, "
    "folder_modified, companions, west, north, east, south, lon_west, lat_north, lon_east, "
    "lat_south, keys_read, group_key, system_key, datum_key, units_key, kind, crs, layers, seen";

// Column order of `select`, and parameter order of `upsert` after the path.
enum FootprintColumn : int {
    kDevice,
    kInode,
    kSize,
    kModified,
    kFolderDevice,
    kFolderInode,
    kFolderSize,
    kFolderModified,
    kCompanions,
    kWest, // then north, east, south
    kLonWest = kWest + 4,
    kKeysRead = kLonWest + 4,
    kGroupKey, // then system, datum, units
    kKind = kGroupKey + 4,
    kCrs,
    kLayers,
    kSeen,
    kColumnCount
};

struct CacheConnection {
    SqlitePtr db;
    StatementPtr select;       // ?1 path
    StatementPtr upsert;       // ?1 path, then every column
    StatementPtr touch;        // ?1 path, ?2 day
    StatementPtr insertSystem; // ?1 wkt, ?2 name
    StatementPtr systemId;     // ?1 wkt
    StatementPtr system;       // ?1 id
    StatementPtr beginRead;    // one snapshot for a run of look-ups
    StatementPtr begin, commit, rollback;
};

struct ConnectResult {
    std::unique_ptr<CacheConnection> connection;
    int code = SQLITE_OK; // of the failure
    std::string problem;
};

// Opens `file` (making its folder), sets up the write-ahead log and busy
// timeout, creates the schema, prepares the statements and drops entries
// last seen before `oldestDay`.
ConnectResult connectCache(const std::string& file, std::int64_t oldestDay);

// Prepares `sql` for repeated use; SQLite's code.
int prepareStatement(sqlite3* db, const std::string& sql, StatementPtr& out);

// connectCache, but a file that is not a sound cache is first set aside
// and made anew.
ConnectResult connectRebuilding(const std::string& file, std::int64_t oldestDay);

// connectRebuilding for a connection with statements of its own
// (`Connection` derives from CacheConnection); null, with the problem
// said, when there is none.
template <class Connection>
std::unique_ptr<Connection> connectAs(const std::string& file, std::int64_t oldestDay,
                                      std::string& problem) {
    ConnectResult connected = connectRebuilding(file, oldestDay);
    if (!connected.connection) {
        problem = std::move(connected.problem);
        return nullptr;
    }
    auto c = std::make_unique<Connection>();
    static_cast<CacheConnection&>(*c) = std::move(*connected.connection);
    return c;
}

// Runs a statement whose rows are not wanted, ready for its next use;
// SQLITE_DONE, SQLITE_ROW or the failure's code.
int runOnce(sqlite3_stmt* statement);

// A code that means the file is not a sound cache.
bool isDamage(int code);

// Renames the file to FILE.damaged (replacing an older one) and removes its
// log files.
void setAside(const std::string& file);

} // namespace finder
