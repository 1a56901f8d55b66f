#pragma once
// Folder listing with a name pattern, as the original platform's
// FindFirstFile / FindNextFile: "." and ".." come first (when the pattern
// matches them), then the folder's entries in the order the file system
// keeps them, each with the attributes and 64-bit file time callers expect.
#include <cstdint>
#include <dirent.h>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr std::uint32_t FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

constexpr long ERROR_PATH_NOT_FOUND = 3;
constexpr long ERROR_NO_MORE_FILES = 18;

// Ticks of 100 ns since 1601-01-01 UTC, the file time of the original platform.
std::uint64_t fileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

struct FindEntry {
    std::string name;
    // A symbolic link to a folder is a folder here too (attributes DIRECTORY
    // and REPARSE_POINT, as a junction is listed), but a walk must never
    // descend into it: isSymlinkToFolder says so, and it keeps walks free of cycles.
    bool isFolder = false;
    bool isSymlinkToFolder = false;
    std::uint64_t size = 0;           // bytes; 0 for folders
    std::uint64_t lastWriteTime = 0;  // file time, see fileTimeFromUnix
    std::uint64_t lastAccessTime = 0; // file time
    std::uint64_t changeTime = 0;     // file time of the last status change (no creation time here)
    std::uint32_t attributes = 0;     // FILE_ATTRIBUTE_* bits; DIRECTORY marks a folder
};

class FindFile {
public:
    FindFile();
    ~FindFile();
    FindFile(FindFile&&) noexcept;
    FindFile& operator=(FindFile&&) noexcept;
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    // Opens `folder` ("." is the current folder) and moves to the first
    // entry whose name matches `pattern` (wildcard.h). Returns 0, or
    // ERROR_PATH_NOT_FOUND / ERROR_ACCESS_DENIED (registry.h numbers) when
    // the folder cannot be listed, ERROR_FILE_NOT_FOUND when nothing matches.
    long open(const std::string& folder, std::string_view pattern);
    // Moves to the next matching entry; false at the end of the listing.
    bool next();
    void close();
    bool isOpen() const;

    const FindEntry& entry() const { return entry_; }

private:
    bool fill(const char* name);

    struct DirCloser {
        void operator()(DIR* dir) const;
    };
    std::unique_ptr<DIR, DirCloser> dir_;
    std::string pattern_;
    int dotsGiven_ = 0; // "." and ".." are handed out before the readdir entries
    FindEntry entry_;
};

} // namespace platform
