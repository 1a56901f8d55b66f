#pragma once
// The companions of a cache entry as one blob: for each, the length of its
// name (32 bits), the name, then device, inode, size and modification time
// (64 bits each), all little-endian.
#include "finder/footprint_cache.h"

#include <optional>
#include <string>
#include <vector>

namespace finder {

std::string encodeCompanions(const std::vector<CompanionStamp>& companions);

// Nothing when the blob is not one encodeCompanions wrote.
std::optional<std::vector<CompanionStamp>> decodeCompanions(std::string_view blob);

} // namespace finder
