#include "colour_table.h"

#include <mutex>

namespace rastrel {

std::uint8_t paletteLevel(int step) {
    return step == 0 ? 0 : static_cast<std::uint8_t>(42 * step - 1);
}

void buildPalette(ColourTable& table) {
    std::size_t at = 0;
    for (int red = 0; red < 6; ++red)
        for (int green = 0; green < 6; ++green)
            for (int blue = 0; blue < 6; ++blue) {
                table.palette[at++] = paletteLevel(red);
                table.palette[at++] = paletteLevel(green);
                table.palette[at++] = paletteLevel(blue);
                table.palette[at++] = 0;
            }
}

void buildInverseMap(ColourTable& table) {
    std::size_t at = 0;
    for (int r = 0; r < 32; ++r)
        for (int g = 0; g < 32; ++g)
            for (int b = 0; b < 32; ++b) {
                const int want[3] = {8 * r, 8 * g, 8 * b};
                int best = 0;
                int bestDistance = 1 << 30;
                for (int entry = 0; entry < kPaletteEntries; ++entry) {
                    int distance = 0;
                    for (int channel = 0; channel < 3 && distance < bestDistance; ++channel) {
                        const int d = want[channel] - table.palette[entry * 4 + channel];
                        distance += d * d;
                    }
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = entry;
                    }
                }
                table.inverse[at++] = static_cast<std::uint8_t>(best);
            }
}

const ColourTable& sharedColourTable() {
    static ColourTable table;
    static std::once_flag built;
    std::call_once(built, [] {
        buildPalette(table);
        buildInverseMap(table);
    });
    return table;
}

} // namespace rastrel
