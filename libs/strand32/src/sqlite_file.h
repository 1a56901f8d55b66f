#pragma once
// A SQLite database file opened to be looked at: read-only and immutable
// (no lock taken, no journal written or read), so reading it changes
// nothing on disk and never waits for a writer. Only regular files whose
// first bytes are SQLite's are opened.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace strand32 {

inline constexpr std::size_t kSqliteHeaderSize = 100;

struct SqliteHeader {
    std::uint32_t applicationId = 0; // big-endian at byte 68
};

// Nothing unless the 100 bytes start with "SQLite format 3".
std::optional<SqliteHeader> parseSqliteHeader(const unsigned char (&bytes)[kSqliteHeaderSize]);

class SqliteFile {
public:
    // Nothing when `path` is no regular file, has no SQLite header, has a
    // write-ahead log beside it (its latest content would be missed), or
    // SQLite refuses it.
    static std::optional<SqliteFile> open(const std::string& path);

    const SqliteHeader& header() const { return header_; }
    sqlite3* handle() const { return db_.get(); }
    // Whether a table or view of that name exists.
    bool hasTable(const std::string& name) const;

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    SqliteFile(std::unique_ptr<sqlite3, Close> db, SqliteHeader header)
        : db_(std::move(db)), header_(header) {}
    std::unique_ptr<sqlite3, Close> db_;
    SqliteHeader header_;
};

// A prepared statement, finalised on destruction.
class SqliteQuery {
public:
    SqliteQuery(sqlite3* db, const std::string& sql);
    bool ok() const { return stmt_ != nullptr; }
    // Binds `value` to the parameter `index` (from 1).
    void bind(int index, const std::string& value);
    // Steps to the next row; false at the end or on an error.
    bool next();
    bool isNull(int column) const;
    std::string text(int column) const;
    double real(int column) const;
    std::int64_t integer(int column) const;
    // The column's bytes (a blob), at most `limit` of them; empty otherwise.
    std::string blob(int column, std::size_t limit) const;

private:
    struct Finalize {
        void operator()(sqlite3_stmt* stmt) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalize> stmt_;
};

// An identifier quoted for SQL: "name", inner quotes doubled.
std::string quotedIdentifier(const std::string& name);

} // namespace strand32
