#pragma once
// Opening result rows with the desktop's own handlers: each file with the
// application the desktop uses for its type, each folder in the file manager.
#include "finder/found_file.h"

#include <string_view>
#include <vector>

namespace finder {

// The freedesktop command that hands one file or folder to its handler; it
// is looked for in PATH.
inline constexpr std::string_view kDesktopOpener = "xdg-open";

// Starts the handler of each of the first 16 selected rows. Returns the
// process ids of the starts that succeeded; failures are silent.
std::vector<int> openWithDefaultApplication(const std::vector<RowTexts>& selected);

// Opens each folder of the selected rows once, in the order first met, at
// most 16. Returns the process ids as above.
std::vector<int> openContainingFolders(const std::vector<RowTexts>& selected);

} // namespace finder
