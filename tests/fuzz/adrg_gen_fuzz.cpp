// ADRG general-information text: any bytes give a geometry or a refusal, and
// a geometry is consistent (sizes from the tile counts, one map entry per tile).
#include "fuzz_check.h"
#include "general_info.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::text(data, size);
    for (const bool overview : {false, true}) {
        const auto g = rastrel::parseGeneralInfo(text, overview);
        if (!g)
            continue;
        FUZZ_CHECK(g->tileRows >= 0 && g->tileColumns >= 0);
        FUZZ_CHECK(g->width == g->tileColumns * rastrel::kTileSide);
        FUZZ_CHECK(g->height == g->tileRows * rastrel::kTileSide);
        const std::size_t tiles = std::size_t(g->tileRows) * std::size_t(g->tileColumns);
        FUZZ_CHECK(g->tileMap.size() == (g->hasTileMap ? tiles : 0));
        FUZZ_CHECK(std::all_of(g->tileMap.begin(), g->tileMap.end(),
                               [](std::uint8_t v) { return v == 0 || v == 255; }));
    }
    rastrel::isOverviewImage(text);
    return 0;
}
