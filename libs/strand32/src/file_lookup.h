#pragma once
// File names compared without regard to letter case, as the data files'
// home systems do: "roads.SHX" finds "roads.shx".
#include <span>
#include <string>
#include <string_view>

namespace strand32 {

// The index in `extensions` of the first one for which stem + extension
// names an existing regular file, letter case of the file name ignored; -1
// when none.
// `found` (if given) receives the path as it exists.
int findCompanion(std::string_view stem, std::span<const char* const> extensions,
                  std::string* found = nullptr);

// `path` itself when it exists, else the existing file whose name equals its
// last component ignoring case; empty when there is none.
std::string resolveNoCase(const std::string& path);

// True when the folder holds another name than `path`'s own that begins with
// its name up to the last "." and a "." (letter case ignored): "a.tfw" or
// "a.tif.aux.xml" beside "a.tif".
bool hasSideFiles(const std::string& path);

bool equalsNoCase(std::string_view a, std::string_view b);

// True when `path` names a regular file (following symbolic links): a pipe,
// a socket, a device or a folder is no data file or companion.
bool isRegularFile(const std::string& path);

} // namespace strand32
