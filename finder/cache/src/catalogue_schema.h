#pragma once
// The catalogue's part of the cache file: the folders searches have walked
// with their entries, the index of footprints in degrees, and the watcher
// that keeps folders true.
#include <cstdint>
#include <string>

namespace finder {

// Made with the footprint table, in the same transaction.
std::string catalogueSchema();

// Statements that drop the folders not met since `oldestDay`, with their
// entries.
std::string dropFoldersSql(std::int64_t oldestDay);

} // namespace finder
