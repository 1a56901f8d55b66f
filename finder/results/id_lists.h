#pragma once
// The identifier-list routines the Shell IDList Array is built with, all
// through the shell's desktop folder object.
#include <platform/shell.h>

#include <string>

namespace finder {

// Sum of the item byte counts up to the terminator, plus 2; 0 for no list.
std::size_t IdListSize(platform::LPCITEMIDLIST list);
// The absolute list of `path` as the desktop parses it; null when it cannot.
platform::IdListPtr PathToIdList(const std::string& path);
// The folder object of an absolute list, with one reference; null when none.
platform::IShellFolder* BindFolder(platform::LPCITEMIDLIST list);
// The list of `name` relative to `folder`; null when the folder cannot parse it.
platform::IdListPtr NameToIdList(platform::IShellFolder* folder, const std::string& name);

} // namespace finder
