#pragma once
// One footprint entry as the cache file's `select` statement gives it
// (columns in FootprintColumn order), turned back into the facts it keeps.
#include "cache_database.h"
#include "layers_blob.h"

#include "finder/footprint_cache.h"

#include <optional>
#include <string_view>

namespace finder {

FileStamp stampColumns(sqlite3_stmt* s, int column);
std::string_view blobColumn(sqlite3_stmt* s, int column);
// West, north, east, south from `column` on; none when NULL.
std::optional<strand32::Extent> rectColumns(sqlite3_stmt* s, int column);

// The facts of the row `s` is on; none when a blob is not sound, a system
// is not in the table, or (when `companionStamp` is given) a companion's
// stamp is no longer the one kept.
std::optional<strand32::FileFacts>
factsOfRow(sqlite3_stmt* s, const SystemOfId& systemOf,
           const FootprintCache::CompanionStamper* companionStamp);

} // namespace finder
