#pragma once
// Reading of the ADRG general-information file (".gen"): the tile counts and
// the tile-presence map, taken at fixed positions after the "ADRG" anchor.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rastrel {

constexpr std::int32_t kTileSide = 128;

struct AdrgGeometry {
    std::int32_t tileRows = 0;
    std::int32_t tileColumns = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasTileMap = false;
    // Row-major, 255 where the tile exists and 0 where it is missing.
    std::vector<std::uint8_t> tileMap;
};

// True for the overview image: extension exactly ".OVR" or ".ovr".
bool isOverviewImage(std::string_view imagePath);

// Decimal text as the C library converts it: blanks, a sign, digits up to
// the first other character; 0 when there are none.
std::int32_t decimalValue(std::string_view field);

// Geometry from the whole text of a general-information file. Fails when an
// anchor is missing, a field lies beyond the text, or a count is negative.
std::optional<AdrgGeometry> parseGeneralInfo(std::string_view text, bool overview);

// The first "*.gen" of the image's folder in the order the folder lists
// names (letter case ignored); empty when there is none.
std::string findGeneralInfoFile(std::string_view imagePath);

// Finds, reads and parses the general-information file of an image.
std::optional<AdrgGeometry> readGeneralInfo(std::string_view imagePath);

} // namespace rastrel
