#pragma once
// The first image directory of a classic TIFF file read from bytes alone:
// the image's size, whether its tags are of the ordinary kind every reader
// takes, and its GeoTIFF tags (pixel scale, tie points, transformation and
// the three key tags). Every offset and count is checked against the file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace strand32 {

struct TiffGeoHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The image tags are plain: one full-size image of samples of a usual
    // kind, uncompressed or with a common codec, its strips or tiles placed
    // and sized.
    bool plainImage = false;
    std::vector<double> pixelScale;     // ModelPixelScale
    std::vector<double> tiePoints;      // ModelTiepoint
    std::vector<double> transformation; // ModelTransformation
    std::vector<std::uint16_t> geoKeys; // GeoKeyDirectory
    std::vector<double> geoDoubles;     // GeoDoubleParams
    std::string geoAscii;               // GeoAsciiParams
    bool hasGeoKeys = false;
};

// Reads `size` bytes at `offset` into `out`; false when they are not there.
using TiffBytes = std::function<bool(std::uint64_t offset, std::size_t size, unsigned char* out)>;

// Nothing unless the file starts as a classic TIFF (II or MM, 42) whose
// first directory and the tags read from it lie within `fileSize`, with
// tag numbers in ascending order.
std::optional<TiffGeoHeader> readTiffGeoHeader(std::uint64_t fileSize, const TiffBytes& bytes);

// GTRasterTypeGeoKey: 1 pixel is area, 2 pixel is point; 0 when the key
// (or the key directory) is absent, -1 when the key directory is not
// plainly well formed (GeoTIFF readers may then ignore every key).
int tiffRasterType(const TiffGeoHeader& header);

// The GeoTIFF key tags as one text, the same for files that state the same
// coordinate system in the same words.
std::string tiffGeoKeyText(const TiffGeoHeader& header);

} // namespace strand32
