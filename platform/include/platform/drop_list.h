#pragma once
// Building a drop-file list (CF_HDROP block) from paths, as a file manager
// hands the selected files to a shell extension.
#include "platform/shell.h"

#include <string>
#include <vector>

namespace platform {

// A new global memory block: the DROPFILES header, then each path with its
// NUL, then one more NUL; names as single-byte text (fWide 0). 0 when out of
// memory. The caller owns the block.
HDROP makeDropList(const std::vector<std::string>& paths);

} // namespace platform
