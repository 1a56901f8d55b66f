#pragma once
// The coordinate-system database held open for one search: read at the
// start, let go of exactly once at the end.
#include "finder/qualification.h"

#include <quill32/coordsys_database.h>

#include <optional>
#include <string>

namespace finder {

class SearchDatabase {
public:
    SearchDatabase() = default;
    SearchDatabase(const SearchDatabase&) = delete;
    SearchDatabase& operator=(const SearchDatabase&) = delete;

    // Reads `databaseFile`; false (and nothing held) when it cannot be read.
    bool open(const std::string& databaseFile);
    void close();

    // The open database, null when none.
    DatabaseHandle handle() const { return database_ ? &*database_ : nullptr; }
    bool isOpen() const { return database_.has_value(); }

private:
    std::optional<quill32::CoordSysDatabase> database_;
};

} // namespace finder
