#pragma once
// The start-up and shut-down that the finder window and kavrel-find share,
// so both type files, read settings and fail alike. The tests' fixtures run
// the same steps.
#include "finder/startup_settings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace finder {

// First step of every program, before any Qt object exists or a file type is
// looked up: the program's own MIME definitions (<prefix>/share) are put
// first in XDG_DATA_DIRS, so GIS files get their real type names. Running it
// again changes nothing.
void prepareProcess(const std::string& prefix);
void prepareProcess(); // with the install prefix of the running program

// Every start-up value from the registry, read in start-up order.
StartupSettings loadStartupSettings();

// Shut-down: writes "Options" back for the current user (silently kept when
// the product key does not exist). Why the write failed otherwise, as a
// sentence for the user; empty when it was written or kept.
std::string saveOptions(std::uint32_t options);

// Whether the window's searches use the footprint cache: the current user's
// "UseFootprintCache" (absent or unreadable: yes), and its writing back
// (silently kept when the product key does not exist; else as saveOptions).
bool loadFootprintCacheSetting();
std::string saveFootprintCacheSetting(bool use);

// "The setting NAME could not be saved in HIVE: REASON" for a registry
// error code of a write; empty for success and for a missing key.
std::string settingWriteProblem(std::string_view name, std::uint32_t code);

// Runs a program's body. An error that escapes it is passed to `report` and
// gives exit status 1; otherwise the body's status is returned.
int runProgram(const std::function<int()>& body,
               const std::function<void(const std::string& message)>& report);

} // namespace finder
