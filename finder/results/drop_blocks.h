#pragma once
// The two blocks a drag of result rows hands to drop targets: the drop-file
// list (CF_HDROP) and the Shell IDList Array. Each call builds a new movable,
// zero-filled, shareable global memory block that the receiver frees.
#include "finder/found_file.h"

#include <platform/global_memory.h>

#include <cstddef>
#include <string>
#include <vector>

namespace finder {

// Room the drop-file list reserves for each path with its terminator; the
// block grows beyond it when the paths are longer.
inline constexpr std::size_t kDropPathRoom = 260;

// A row's path in the drop-file list: the folder, a "/" unless the folder is
// empty or already ends with one, and the file name.
std::string dropPathOfRow(const RowTexts& row);

// The 20-byte header and every row's path with its NUL, in the rows' order,
// then one more NUL. 0 when the block cannot be allocated.
platform::HGLOBAL CreateHDrop(const std::vector<RowTexts>& rows);

// Item count, parent offset, one offset per row, the parent folder's
// absolute identifier list, then each row's list relative to the parent.
// The parent is the rows' folder; for rows of several folders, the deepest
// folder common to all, each row then named by its path below it. Rows the
// parent cannot resolve (moved or deleted since the search, or without a
// folder) are left out rather than given an empty list, which would name the
// parent itself.
// 0 with no rows, or when no row or the parent cannot be resolved.
platform::HGLOBAL CreateShellIdList(const std::vector<RowTexts>& rows);

} // namespace finder
