#pragma once
// The record behind an image handle: a global memory block that the exports
// lock for the length of each call.
#include <cstdint>

namespace rastrel {

struct ImageRecord {
    std::uintptr_t path;      // the host's path text, not copied
    std::uintptr_t file;      // the host's file value; 0 when not open
    std::uintptr_t procs;     // the host's HostFileProcs table
    std::uintptr_t hostValue; // kept, not used
    std::int32_t currentRow;  // first image row of the next read
    std::int32_t width;
    std::int32_t height;
    std::int32_t tileRows;
    std::int32_t tileColumns;
    std::uintptr_t tileMap; // block of the tile-presence map; 0 when every tile exists
    // Reading state, kept with the image so that a second image in the same
    // process never reads through the first one's band.
    std::uintptr_t band;        // block of the converted tile row and the staging buffer
    std::int32_t loadedTileRow; // tile row now in the band; -1 none
    std::uintptr_t tag;         // marks a live record of this handle
};

// The tag of a record whose block has the given handle.
inline std::uintptr_t recordTag(std::uintptr_t handle) {
    return handle ^ std::uintptr_t{0x4144524731};
}

} // namespace rastrel
