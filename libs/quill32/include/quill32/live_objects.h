#pragma once
// Counts of what the Datora_* functions hold, so tests can check that every
// handle given out is released exactly once.
#include <cstddef>

namespace quill32 {

// Object handles (groups, systems, datums) not yet released.
std::size_t liveObjectCount();
// Database handles connected and not yet disconnected.
std::size_t liveDatabaseCount();

} // namespace quill32
