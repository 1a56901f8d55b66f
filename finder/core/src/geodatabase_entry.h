#pragma once
// A File Geodatabase folder as the walk sees it: one file, found, qualified
// and listed as a row of its own (the folder's name, its parent as folder),
// never walked into.
#include "finder/file_stamp.h"
#include "finder/found_file.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace finder {

struct GeodatabaseEntry {
    std::uint64_t size = 0;         // the sum of its files' sizes
    FileClock::time_point newest{}; // the newest of their modification times
    FileStamp stamp;                // the folder's own
};

// True when `name`, listed in the folder `folderFd`, is a folder named
// *.gdb (letter case ignored) that holds a geodatabase's catalogue table.
bool isGeodatabase(int folderFd, std::string_view name);

// The geodatabase `name` names in the folder `folderFd`, described as one
// file; nothing when it is none, or cannot be listed.
std::optional<GeodatabaseEntry> geodatabaseEntry(int folderFd, std::string_view name);

} // namespace finder
