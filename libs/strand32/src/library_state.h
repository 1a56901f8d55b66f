#pragma once
// What the two Mapora libraries share at run time: the C boundary with the
// thread's last error text (one for every Mapora_* function), whether
// Mapora_Init readied the library, and the map library's part of
// Mapora_Shutdown. Defined in libstrand32; libstrand32_map uses them.
#include <string>

#include "platform/c_boundary.h"

namespace strand32 {

std::string& lastErrorText() noexcept;
using Boundary = platform::CBoundary<&lastErrorText>;

// True from a successful Mapora_Init to the next Mapora_Shutdown.
bool libraryReady() noexcept;
void setLibraryReady(bool ready) noexcept;

// Called by Mapora_Shutdown before the library is released (the map library
// closes its maps there). One hook; setting it again replaces it.
using ShutdownHook = void (*)();
void setShutdownHook(ShutdownHook hook) noexcept;
void runShutdownHook();

} // namespace strand32
