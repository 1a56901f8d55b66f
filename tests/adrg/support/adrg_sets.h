#pragma once
// ADRG sets for tests: written by GDAL from synthetic RGB images, read back by
// GDAL, and damaged by editing bytes. Also an independent nearest-colour
// computation against the 216-colour palette.
#include <cstdint>
#include <string>
#include <vector>

namespace adrgtest {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // pixel-interleaved, top row first
};

// Writes ABCDEF01.GEN, ABCDEF01.IMG and TRANSH01.THF into `folder` from a
// synthetic image of the given size (gradients, noise and pure colours).
// Returns the path of the .IMG file.
std::string writeAdrgSet(const std::string& folder, int width, int height, unsigned seed);

// GDAL's reading of a set, whole tiles (tile rows x tile columns x 128).
RgbImage readWithGdal(const std::string& genPath);

// Palette index nearest to a source pixel after cutting each channel to
// 5 bits, computed channel by channel from the six levels.
std::uint8_t expectedIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
std::vector<std::uint8_t> expectedIndices(const RgbImage& image);

constexpr std::uint8_t kFill = 215;

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// Position of the anchor "ADRG" of the geo data image (the second one) and
// of the overview image (the first one) in a .GEN text.
std::size_t geoAnchor(const std::string& gen);
std::size_t overviewAnchor(const std::string& gen);

// Marks tile `tile` (row-major) missing in the set's tile index and removes
// its record from the image file.
void removeTile(const std::string& folder, int tile);

// Sets the geo data image's tile-index flag: "Y" map present, "N" absent.
void setTileIndexFlag(const std::string& folder, char flag);

} // namespace adrgtest
