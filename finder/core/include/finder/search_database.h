#pragma once
// The coordinate-system database held open for one search: connected and
// opened at the start, closed and disconnected exactly once at the end.
#include "finder/qualification.h"

#include <string>

namespace finder {

class SearchDatabase {
public:
    SearchDatabase() = default;
    ~SearchDatabase();
    SearchDatabase(SearchDatabase&& other) noexcept;
    SearchDatabase& operator=(SearchDatabase&& other) noexcept;
    SearchDatabase(const SearchDatabase&) = delete;
    SearchDatabase& operator=(const SearchDatabase&) = delete;

    // Connects to `databaseFile` and opens it read-only; false (and no
    // handle) when either step fails.
    bool open(const std::string& databaseFile);
    // Closes, then disconnects; the handle becomes 0.
    void close();

    DatabaseHandle handle() const { return handle_; }
    bool isOpen() const { return handle_ != 0; }

private:
    DatabaseHandle handle_ = 0;
};

} // namespace finder
