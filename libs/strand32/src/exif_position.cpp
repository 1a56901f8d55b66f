// EXIF GPS values as GDAL writes them: each rational in parentheses,
// separated by blanks.
#include "exif_position.h"

#include <charconv>
#include <cmath>

namespace strand32 {
namespace {

// "(a) (b) (c)" with one to three non-negative numbers, as degrees.
std::optional<double> degreesOf(std::string_view text) {
    double parts[3] = {0, 0, 0};
    int count = 0;
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        if (at == text.size())
            break;
        if (count == 3 || text[at] != '(')
            return std::nullopt;
        const std::size_t close = text.find(')', at);
        if (close == std::string_view::npos)
            return std::nullopt;
        const std::string_view number = text.substr(at + 1, close - at - 1);
        double value = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value) ||
            value < 0)
            return std::nullopt;
        parts[count++] = value;
        at = close + 1;
    }
    if (count == 0 || parts[1] >= 60 || parts[2] >= 60)
        return std::nullopt;
    return parts[0] + parts[1] / 60 + parts[2] / 3600;
}

std::optional<double> signedDegrees(std::string_view value, std::string_view ref, char positive,
                                    char negative, double limit) {
    const auto degrees = degreesOf(value);
    if (!degrees || ref.size() != 1 || (ref[0] != positive && ref[0] != negative) ||
        *degrees > limit)
        return std::nullopt;
    return ref[0] == negative ? -*degrees : *degrees;
}

// JPEG puts the tags in the default domain, GeoTIFF in "EXIF".
std::string_view item(GDALDatasetH dataset, const char* key) {
    const char* value = GDALGetMetadataItem(dataset, key, nullptr);
    if (value == nullptr)
        value = GDALGetMetadataItem(dataset, key, "EXIF");
    return value ? std::string_view(value) : std::string_view();
}

} // namespace

std::optional<LonLat> parseExifPosition(std::string_view latitude, std::string_view latitudeRef,
                                        std::string_view longitude, std::string_view longitudeRef) {
    const auto lat = signedDegrees(latitude, latitudeRef, 'N', 'S', 90);
    const auto lon = signedDegrees(longitude, longitudeRef, 'E', 'W', 180);
    if (!lat || !lon)
        return std::nullopt;
    return LonLat{*lon, *lat};
}

std::optional<LonLat> exifPosition(GDALDatasetH dataset) {
    if (dataset == nullptr)
        return std::nullopt;
    return parseExifPosition(
        item(dataset, "EXIF_GPSLatitude"), item(dataset, "EXIF_GPSLatitudeRef"),
        item(dataset, "EXIF_GPSLongitude"), item(dataset, "EXIF_GPSLongitudeRef"));
}

} // namespace strand32
