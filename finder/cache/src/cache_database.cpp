// Opening the cache file. Every step reports SQLite's code, so that the
// caller can tell a damaged file (set aside and rebuilt) from one that
// cannot be written (the search goes on without a cache).
#include "cache_database.h"

#include "catalogue_schema.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace finder {
namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kSchemaVersion = 3;

// Systems are kept once each, however many files use them. Entries have a
// row id, which the index of footprints in degrees refers to.
constexpr char kSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS crs (
  id INTEGER PRIMARY KEY, wkt TEXT NOT NULL UNIQUE, name TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS footprint (
  path TEXT NOT NULL UNIQUE,
  device INTEGER NOT NULL, inode INTEGER NOT NULL, size INTEGER NOT NULL,
  modified INTEGER NOT NULL,
  folder_device INTEGER NOT NULL, folder_inode INTEGER NOT NULL,
  folder_size INTEGER NOT NULL, folder_modified INTEGER NOT NULL,
  companions BLOB NOT NULL,
  west REAL, north REAL, east REAL, south REAL,
  lon_west REAL, lat_north REAL, lon_east REAL, lat_south REAL,
  keys_read INTEGER NOT NULL,
  group_key TEXT, system_key TEXT, datum_key TEXT, units_key TEXT,
  kind INTEGER NOT NULL, crs INTEGER, layers BLOB NOT NULL,
  seen INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS footprint_seen ON footprint(seen);
)sql";

struct Failure {
    int code;
    std::string problem;
};

Failure failure(sqlite3* db, int code, const std::string& what) {
    return Failure{code, what + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code))};
}

std::optional<Failure> exec(sqlite3* db, const char* sql) {
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        return failure(db, code, "cannot set up the cache");
    return std::nullopt;
}

std::optional<Failure> prepare(sqlite3* db, const std::string& sql, StatementPtr& out) {
    const int code = prepareStatement(db, sql, out);
    if (code != SQLITE_OK)
        return failure(db, code, "cannot read the cache");
    return std::nullopt;
}

// One integer a statement gives, or a failure.
std::optional<Failure> queryInteger(sqlite3* db, const char* sql, std::int64_t& value) {
    StatementPtr statement;
    if (auto failed = prepare(db, sql, statement))
        return failed;
    const int code = sqlite3_step(statement.get());
    if (code != SQLITE_ROW && code != SQLITE_DONE)
        return failure(db, code, "cannot read the cache");
    value = code == SQLITE_ROW ? sqlite3_column_int64(statement.get(), 0) : 0;
    return std::nullopt;
}

std::optional<Failure> makeFolder(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (folder.empty())
        return std::nullopt;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return Failure{SQLITE_CANTOPEN,
                       "cannot make the folder " + folder.string() + ": " + ec.message()};
    return std::nullopt;
}

std::optional<Failure> createSchema(sqlite3* db) {
    std::int64_t version = 0;
    if (auto failed = queryInteger(db, "PRAGMA user_version", version))
        return failed;
    if (version == kSchemaVersion)
        return std::nullopt;
    // An earlier layout of ours is a cache still: made anew, not set aside.
    if (version < 0 || version > kSchemaVersion)
        return Failure{SQLITE_NOTADB, "the cache file has an unknown layout"};
    if (auto failed = exec(db, "BEGIN IMMEDIATE"))
        return failed;
    std::optional<Failure> failed =
        version != 0 ? exec(db, "DROP TABLE IF EXISTS footprint") : std::nullopt;
    if (!failed)
        failed = exec(db, kSchema);
    if (!failed)
        failed = exec(db, catalogueSchema().c_str());
    if (!failed)
        failed = exec(db, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    if (!failed)
        failed = exec(db, "COMMIT");
    if (failed)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return failed;
}

std::optional<Failure> prepareAll(CacheConnection& c) {
    sqlite3* db = c.db.get();
    // An entry replaced keeps its row id (and so its place in the index of
    // footprints in degrees).
    std::string upsert =
        "INSERT INTO footprint (path, " + std::string(kFootprintColumns) + ") VALUES (?1";
    for (int i = 0; i < kColumnCount; ++i)
        upsert += ", ?" + std::to_string(i + 2);
    upsert += ") ON CONFLICT (path) DO UPDATE SET ";
    std::string_view columns(kFootprintColumns);
    for (std::size_t start = 0; start < columns.size();) {
        const std::size_t end = std::min(columns.find(',', start), columns.size());
        const std::string column(columns.substr(start, end - start));
        upsert += (start == 0 ? "" : ", ") + column + " = excluded." + column;
        start = end + 2;
    }
    for (auto [sql, out] : {
             std::pair{"SELECT " + std::string(kFootprintColumns) +
                           " FROM footprint WHERE path = ?1",
                       &c.select},
             std::pair{upsert, &c.upsert},
             std::pair{std::string("UPDATE footprint SET seen = ?2 WHERE path = ?1"), &c.touch},
             std::pair{std::string("INSERT OR IGNORE INTO crs (wkt, name) VALUES (?1, ?2)"),
                       &c.insertSystem},
             std::pair{std::string("SELECT id FROM crs WHERE wkt = ?1"), &c.systemId},
             std::pair{std::string("SELECT wkt, name FROM crs WHERE id = ?1"), &c.system},
             std::pair{std::string("BEGIN"), &c.beginRead},
             std::pair{std::string("BEGIN IMMEDIATE"), &c.begin},
             std::pair{std::string("COMMIT"), &c.commit},
             std::pair{std::string("ROLLBACK"), &c.rollback},
         }) {
        if (auto failed = prepare(db, sql, *out))
            return failed;
    }
    return std::nullopt;
}

// Entries of files and folders not met since `oldestDay` go; a read first,
// so that an open with nothing to drop writes nothing.
std::optional<Failure> dropOld(sqlite3* db, std::int64_t oldestDay) {
    const std::string day = std::to_string(oldestDay);
    for (const char* table : {"footprint", "folder"}) {
        std::int64_t any = 0;
        if (auto failed = queryInteger(
                db,
                ("SELECT 1 FROM " + std::string(table) + " WHERE seen < " + day + " LIMIT 1")
                    .c_str(),
                any))
            return failed;
        if (any == 0)
            continue;
        const std::string drop = std::string(table) == "footprint"
                                     ? "DELETE FROM footprint WHERE seen < " + day
                                     : dropFoldersSql(oldestDay);
        if (auto failed = exec(db, drop.c_str()))
            return failed;
    }
    return std::nullopt;
}

} // namespace

ConnectResult connectCache(const std::string& file, std::int64_t oldestDay) {
    ConnectResult result;
    const auto fail = [&](Failure f) {
        result.connection.reset();
        result.code = f.code;
        result.problem = std::move(f.problem);
        return std::move(result);
    };
    if (auto failed = makeFolder(file))
        return fail(std::move(*failed));
    auto c = std::make_unique<CacheConnection>();
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(file.c_str(), &raw,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE |
                                         SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE,
                                     nullptr);
    c->db.reset(raw);
    if (code != SQLITE_OK)
        return fail(failure(raw, code, "cannot open " + file));
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // The journal mode is read back by SQLite itself; a file system without
    // shared memory keeps the default journal, which works as well.
    for (const char* pragma : {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"}) {
        if (auto failed = exec(raw, pragma))
            return fail(std::move(*failed));
    }
    if (auto failed = createSchema(raw))
        return fail(std::move(*failed));
    if (auto failed = prepareAll(*c))
        return fail(std::move(*failed));
    if (auto failed = dropOld(raw, oldestDay))
        return fail(std::move(*failed));
    result.connection = std::move(c);
    return result;
}

ConnectResult connectRebuilding(const std::string& file, std::int64_t oldestDay) {
    ConnectResult connected = connectCache(file, oldestDay);
    if (!connected.connection && isDamage(connected.code)) {
        setAside(file);
        connected = connectCache(file, oldestDay);
    }
    return connected;
}

int prepareStatement(sqlite3* db, const std::string& sql, StatementPtr& out) {
    sqlite3_stmt* statement = nullptr;
    const int code =
        sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    out.reset(statement);
    return code;
}

int runOnce(sqlite3_stmt* statement) {
    const int code = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return code;
}

bool isDamage(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

void setAside(const std::string& file) {
    std::rename(file.c_str(), (file + ".damaged").c_str());
    for (const char* log : {"-wal", "-shm", "-journal"})
        ::unlink((file + log).c_str());
}

} // namespace finder
