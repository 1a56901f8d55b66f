// The database of one search.
#include "finder/search_database.h"

namespace finder {

bool SearchDatabase::open(const std::string& databaseFile) {
    close();
    database_ = quill32::CoordSysDatabase::open(databaseFile);
    return database_.has_value();
}

void SearchDatabase::close() {
    database_.reset();
}

} // namespace finder
