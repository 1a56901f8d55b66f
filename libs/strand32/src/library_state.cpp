// Run-time state shared by the layer and the map library.
#include "library_state.h"

#include <atomic>

namespace strand32 {
namespace {
std::atomic<bool> g_ready{false};
std::atomic<ShutdownHook> g_shutdownHook{nullptr};
} // namespace

std::string& lastErrorText() noexcept {
    thread_local std::string text;
    return text;
}

bool libraryReady() noexcept {
    return g_ready;
}

void setLibraryReady(bool ready) noexcept {
    g_ready = ready;
}

void setShutdownHook(ShutdownHook hook) noexcept {
    g_shutdownHook = hook;
}

void runShutdownHook() {
    if (const ShutdownHook hook = g_shutdownHook)
        hook();
}

} // namespace strand32
