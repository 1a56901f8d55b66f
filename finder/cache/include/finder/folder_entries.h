#pragma once
// A folder's entries as the catalogue keeps them, read from the file system
// as the walk sees them: symbolic links followed for files, never for
// folders (a link to a folder is listed, not entered).
#include "finder/catalogue_writer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace finder {

// The entry `name` of the folder held by `folderFd`; none when it vanished.
std::optional<CatalogueEntry> describeEntry(int folderFd, const std::string& name);

// Every entry of the folder held by `folderFd` (a path descriptor will do)
// at `path`: its stamp is taken first, then it is listed. None when it
// cannot be listed.
std::optional<FolderRecord> readFolder(int folderFd, const std::string& path);

// Nanoseconds since 1970, UTC.
std::int64_t wallClockNs();

} // namespace finder
