#pragma once
// The command line that starts the page reader for one file: the reader
// alone, or inside a bubblewrap sandbox where `bwrap` is given. The sandbox
// sees the system folders, the given paths and nothing else of the host,
// all read-only, with private /tmp, /proc and /dev, no network and no other
// namespace shared; it ends with the process that started it.
#include <string>
#include <vector>

namespace nautilushost {

std::vector<std::string> readerCommand(const std::string& reader, const std::string& file,
                                       const std::string& bwrap,
                                       const std::vector<std::string>& readOnly);

// What the sandbox must see for `file`: the install prefix (programs,
// libraries, the database), the file's folder (its companions) and the
// registry hives that exist.
std::vector<std::string> readerPaths(const std::string& prefix, const std::string& file);

} // namespace nautilushost
