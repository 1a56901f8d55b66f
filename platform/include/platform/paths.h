#pragma once
// Where the program and its data live. The build tree is laid out like an
// installed prefix, so the same rules hold in both.
#include <string>

namespace platform {

std::string executablePath(); // /proc/self/exe; empty when unknown
std::string installPrefix();  // $KAVREL_PREFIX, else the one set below, else the folder
                              // above the executable's
// A library of ours loaded into another program's process (the file manager's
// module) lives under a prefix that program knows nothing of: it names it here,
// once, before anything asks. Empty: back to the executable's.
void setInstallPrefix(std::string prefix);
std::string dataFolder();      // <prefix>/share/kavrel
std::string userDataFolder();  // $XDG_DATA_HOME/kavrel (~/.local/share/kavrel)
std::string userCacheFolder(); // $XDG_CACHE_HOME/kavrel (~/.cache/kavrel)
std::string runtimeFolder();   // per-process folder under $XDG_RUNTIME_DIR or the temp folder,
                               // created on first use
std::string desktopFolder();   // the XDG desktop folder (xdg-user-dirs, else ~/Desktop)

} // namespace platform
