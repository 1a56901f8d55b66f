#pragma once
// The bitmap information block handed to the host: a 40-byte header for an
// 8-bit bottom-up image and the 216 palette colours as blue, green, red, 0.
#include "colour_table.h"

#include <cstdint>

namespace rastrel {

constexpr std::size_t kDibHeaderSize = 40;

// Writes the 904-byte block (little-endian fields). The header declares the
// 216 colours it carries, so no reader takes entries beyond the block.
void writeDibBlock(std::uint8_t* block, std::int32_t width, std::int32_t height,
                   const ColourTable& colours);

} // namespace rastrel
