#pragma once
// A prepared statement in use: bound, stepped, and reset with its bindings
// cleared when the scope ends, ready for its next use.
#include <sqlite3.h>

#include <cstdint>
#include <string_view>

namespace finder {

class StatementScope {
public:
    explicit StatementScope(sqlite3_stmt* s) : s_(s) {}
    ~StatementScope() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    StatementScope(const StatementScope&) = delete;
    StatementScope& operator=(const StatementScope&) = delete;

    // Texts are bound without a copy: they must live until the scope ends.
    StatementScope& text(int index, std::string_view value) {
        sqlite3_bind_text(s_, index, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
        return *this;
    }
    StatementScope& integer(int index, std::int64_t value) {
        sqlite3_bind_int64(s_, index, value);
        return *this;
    }
    StatementScope& real(int index, double value) {
        sqlite3_bind_double(s_, index, value);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or a failure's code.
    int step() { return sqlite3_step(s_); }
    // Calls `row` for every row; SQLITE_DONE or a failure's code.
    template <class Row> int eachRow(Row&& row) {
        int code;
        while ((code = step()) == SQLITE_ROW)
            row();
        return code;
    }

    std::int64_t integerAt(int column) const { return sqlite3_column_int64(s_, column); }
    std::string_view textAt(int column) const {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(s_, column));
        return std::string_view(chars ? chars : "",
                                static_cast<std::size_t>(sqlite3_column_bytes(s_, column)));
    }
    bool isNull(int column) const { return sqlite3_column_type(s_, column) == SQLITE_NULL; }
    sqlite3_stmt* get() const { return s_; }

private:
    sqlite3_stmt* s_;
};

} // namespace finder
