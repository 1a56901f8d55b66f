// SQLite opened through a URI with mode=ro and immutable=1.
#include "sqlite_file.h"

#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <sys/stat.h>

#include "regular_file.h"

namespace strand32 {
namespace {

// The path as a file: URI; characters with a meaning in URIs are escaped.
std::string fileUri(const std::string& path) {
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            uri += hex;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?mode=ro&immutable=1";
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

std::optional<SqliteHeader> parseSqliteHeader(const unsigned char (&bytes)[kSqliteHeaderSize]) {
    static constexpr char kMagic[] = "SQLite format 3";
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    SqliteHeader header;
    header.applicationId = std::uint32_t{bytes[68]} << 24 | std::uint32_t{bytes[69]} << 16 |
                           std::uint32_t{bytes[70]} << 8 | std::uint32_t{bytes[71]};
    return header;
}

void SqliteFile::Close::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

std::optional<SqliteFile> SqliteFile::open(const std::string& path) {
    unsigned char bytes[kSqliteHeaderSize];
    {
        const auto file = RegularFile::open(path);
        if (!file || !file->readAt(bytes, sizeof bytes, 0))
            return std::nullopt;
    }
    const auto header = parseSqliteHeader(bytes);
    if (!header || exists(path + "-wal"))
        return std::nullopt;
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(fileUri(path).c_str(), &raw,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, Close> db(raw);
    if (rc != SQLITE_OK)
        return std::nullopt;
    // A damaged file must not be read into unbounded memory or time.
    sqlite3_limit(raw, SQLITE_LIMIT_LENGTH, 16 << 20);
    return SqliteFile(std::move(db), *header);
}

bool SqliteFile::hasTable(const std::string& name) const {
    SqliteQuery query(handle(),
                      "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?");
    query.bind(1, name);
    return query.next();
}

void SqliteQuery::Finalize::operator()(sqlite3_stmt* stmt) const {
    sqlite3_finalize(stmt);
}

SqliteQuery::SqliteQuery(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) == SQLITE_OK)
        stmt_.reset(raw);
    else
        sqlite3_finalize(raw);
}

void SqliteQuery::bind(int index, const std::string& value) {
    if (stmt_)
        sqlite3_bind_text(stmt_.get(), index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
}

bool SqliteQuery::next() {
    return stmt_ && sqlite3_step(stmt_.get()) == SQLITE_ROW;
}

bool SqliteQuery::isNull(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

std::string SqliteQuery::text(int column) const {
    const unsigned char* value = sqlite3_column_text(stmt_.get(), column);
    return value ? std::string(reinterpret_cast<const char*>(value),
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column)))
                 : std::string();
}

double SqliteQuery::real(int column) const {
    return sqlite3_column_double(stmt_.get(), column);
}

std::int64_t SqliteQuery::integer(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

std::string SqliteQuery::blob(int column, std::size_t limit) const {
    const void* value = sqlite3_column_blob(stmt_.get(), column);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column));
    if (value == nullptr || size > limit)
        return {};
    return std::string(static_cast<const char*>(value), size);
}

std::string quotedIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

} // namespace strand32
