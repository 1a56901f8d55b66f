#pragma once
// The fixed 216-colour palette (six levels per channel) and the inverse map
// from 5-bit channel values to the nearest palette index.
#include <array>
#include <cstddef>
#include <cstdint>

namespace rastrel {

constexpr int kPaletteEntries = 216;
constexpr std::size_t kInverseMapSize = 32768;

struct ColourTable {
    // Red, green, blue, 0 per entry; index = red step x 36 + green step x 6 + blue step.
    std::array<std::uint8_t, kPaletteEntries * 4> palette{};
    // Entry r x 1024 + g x 32 + b: the palette index nearest to (8r, 8g, 8b).
    std::array<std::uint8_t, kInverseMapSize> inverse{};

    std::uint8_t indexOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
        return inverse[(red >> 3) << 10 | (green >> 3) << 5 | blue >> 3];
    }
    // Carried by missing tiles and by every byte that no image row covers.
    std::uint8_t fillIndex() const { return inverse[kInverseMapSize - 1]; }
};

static_assert(sizeof(ColourTable) == 33632, "palette then inverse map, as shared");

// Channel value of step 0..5: 0, 41, 83, 125, 167, 209.
std::uint8_t paletteLevel(int step);

void buildPalette(ColourTable& table);
// Needs the palette; ties keep the lower index.
void buildInverseMap(ColourTable& table);

// The table shared by every image of the process, built on first use.
const ColourTable& sharedColourTable();

} // namespace rastrel
