#pragma once
// One file found by a search, as plain values: its full path, size, time of
// last change and, when the search read it, its facts. The texts of its row
// in the results list are made from these where rows are shown or stored.
#include "DateUtil.h"

#include <strand32/file_facts.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace finder {

using FileClock = std::chrono::system_clock;

struct FoundFile {
    std::string path;           // full path, the bytes the file system gives
    std::size_t folderSize = 0; // path[0, folderSize) is the folder
    std::size_t nameStart = 0;  // path[nameStart, end) is the name
    bool isFolder = false;
    std::uint64_t size = 0; // whole size in bytes; 0 for a folder
    FileClock::time_point modified{};
    // What the search read of the file (or its cache answered); null when
    // the search read nothing of it.
    std::shared_ptr<const strand32::FileFacts> facts;

    std::string_view name() const { return std::string_view(path).substr(nameStart); }
    std::string_view folder() const { return std::string_view(path).substr(0, folderSize); }
    // Places `name` in `folder`: a "/" between them unless the folder ends with one.
    void place(std::string_view folder, std::string_view name);
};

// The time as a file time (100-nanosecond ticks since 1601, UTC), the unit
// of the date texts and the date criteria.
DateUtil::FileTime fileTimeOf(FileClock::time_point time);
FileClock::time_point timePointOf(std::int64_t unixSeconds, std::int64_t nanoseconds);
// Texts of one row: caption, then sub-texts 0 to 3.
struct RowTexts {
    std::string name;
    std::string folder;
    std::string size;     // "12KB"
    std::string type;     // type name, "xyz File" or "File"
    std::string modified; // "3/7/1999 9:05 AM"
    bool operator==(const RowTexts&) const = default;
};

// Type of a file as the desktop knows it; iconName is a freedesktop icon
// name, empty when the type is not known.
struct FileType {
    std::string name;
    std::string iconName;
};

// ceil(bytes / 1024) followed by "KB", over the whole 64-bit size.
std::string sizeText(std::uint64_t bytes);

// Type from the MIME database by the file's name (cached per extension, safe
// from any thread); when several types claim the name, by the content of the
// file at `fullPath` as well. When the type is unknown (generic binary or
// plain text), the text after the last "." followed by " File", or "File"
// without a dot.
FileType fileTypeOf(std::string_view fileName, std::string_view fullPath = {});
std::string fallbackTypeText(std::string_view fileName);

// The folder, a "/" unless it already ends with one, and the name.
inline std::string fullPathOfRow(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += fileName;
    return path;
}

// What a search hands on for each file it found: the file and its type as
// the desktop knows it (decided on the search's thread: it may read the file).
struct FoundRow {
    FoundFile file;
    FileType type;
};
FoundRow foundRow(FoundFile file);

// The five texts of a row; the modified text is empty when the time cannot
// be shown.
RowTexts rowTexts(const FoundRow& row);
RowTexts rowTexts(const FoundFile& file, std::string typeName);

} // namespace finder
