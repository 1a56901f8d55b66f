#pragma once
// What tells one state of a file or folder from another for the footprint
// cache: device, inode, size and modification time to the nanosecond.
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace finder {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since 1970, UTC
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const struct stat& info);

// The stamp of `path`, relative to the folder `folderFd` (AT_FDCWD: the
// current folder) unless absolute, symbolic links followed; none when it
// cannot be had.
std::optional<FileStamp> stampAt(int folderFd, const std::string& path);

} // namespace finder
