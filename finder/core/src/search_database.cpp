#include "finder/search_database.h"

#include <quill32/datora.h>

#include <utility>

namespace finder {

SearchDatabase::~SearchDatabase() {
    close();
}

SearchDatabase::SearchDatabase(SearchDatabase&& other) noexcept
    : handle_(std::exchange(other.handle_, 0)) {}

SearchDatabase& SearchDatabase::operator=(SearchDatabase&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

bool SearchDatabase::open(const std::string& databaseFile) {
    close();
    const DatoraDatabase database = Datora_DBConnect(databaseFile.c_str());
    if (database == 0)
        return false;
    if (Datora_DBOpen(database, 1) == 0) {
        Datora_DBDisconnect(database);
        return false;
    }
    handle_ = database;
    return true;
}

void SearchDatabase::close() {
    if (handle_ == 0)
        return;
    Datora_DBClose(handle_);
    Datora_DBDisconnect(handle_);
    handle_ = 0;
}

} // namespace finder
