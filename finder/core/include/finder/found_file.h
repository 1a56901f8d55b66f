#pragma once
// One directory entry found by the walk, with the folder it was found in, and
// the texts of its row in the results list.
#include "DateUtil.h"

#include <platform/find_file.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

// Attribute bits are those of platform/find_file.h; a folder has this one.
inline constexpr std::uint32_t kFileAttributeDirectory = platform::FILE_ATTRIBUTE_DIRECTORY;

struct FoundFile {
    std::uint32_t attributes = 0;         // 0x10 marks a folder
    DateUtil::FileTime lastWriteTime = 0; // UTC
    std::uint64_t size = 0;               // whole size in bytes
    std::string fileName;                 // name without folder
    std::string folder;                   // the walk's current folder

    bool isFolder() const { return (attributes & kFileAttributeDirectory) != 0; }
    std::uint32_t sizeLow() const { return static_cast<std::uint32_t>(size); }
    std::uint32_t sizeHigh() const { return static_cast<std::uint32_t>(size >> 32); }
};

// Texts of one row: caption, then sub-texts 0 to 3.
struct RowTexts {
    std::string name;
    std::string folder;
    std::string size;     // "12KB"
    std::string type;     // type name, "xyz File" or "File"
    std::string modified; // "3/7/1999 9:05 AM"
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

// All five texts; the modified text is empty when the time cannot be shown.
RowTexts rowTexts(const FoundFile& file);

// A row as the results list shows it: the texts and the type's icon name.
struct FoundRow {
    RowTexts texts;
    std::string iconName;
};
FoundRow foundRow(const FoundFile& file);

} // namespace finder
