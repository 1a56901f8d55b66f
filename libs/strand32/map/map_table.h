#pragma once
// The maps of the process by handle. Handles are small numbers, never 0;
// maps are used on the thread of the Qt application only.
#include <cstdint>
#include <memory>

#include "strand32/map.h"

namespace strand32 {

std::uint32_t addMap(std::unique_ptr<Map> map);
// Null for 0, an unknown or a closed handle.
Map* findMap(std::uint32_t handle);
bool closeMap(std::uint32_t handle);
void closeAllMaps();

} // namespace strand32
