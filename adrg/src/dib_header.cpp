#include "dib_header.h"

namespace rastrel {

namespace {

void put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

void writeDibBlock(std::uint8_t* block, std::int32_t width, std::int32_t height,
                   const ColourTable& colours) {
    put32(block + 0, kDibHeaderSize);
    put32(block + 4, static_cast<std::uint32_t>(width));
    put32(block + 8, static_cast<std::uint32_t>(height)); // positive: rows run bottom-up
    put16(block + 12, 1);                                 // planes
    put16(block + 14, 8);                                 // bits per pixel
    put32(block + 16, 0);                                 // no compression
    put32(block + 20, 0);                                 // image size
    put32(block + 24, 0);                                 // horizontal resolution
    put32(block + 28, 0);                                 // vertical resolution
    put32(block + 32, kPaletteEntries);                   // colours used
    put32(block + 36, 0);                                 // colours important
    std::uint8_t* entry = block + kDibHeaderSize;
    for (int i = 0; i < kPaletteEntries; ++i, entry += 4) {
        entry[0] = colours.palette[i * 4 + 2];
        entry[1] = colours.palette[i * 4 + 1];
        entry[2] = colours.palette[i * 4 + 0];
        entry[3] = 0;
    }
}

} // namespace rastrel
