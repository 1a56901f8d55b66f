#pragma once
// What the coverage of a search area by the found files came to, and its
// texts for the user. Free of GDAL: kavrel-find computes the coverage and
// writes the gaps through the layer module.
#include <cstddef>
#include <optional>
#include <string>

namespace finder {

struct CoverageExport {
    std::optional<double> share; // covered / area, 0 ... 1; none when not computed
    std::size_t gaps = 0;        // uncovered parts written
    std::string error;           // non-empty: no share, or the gaps not written whole
};

// The share as whole percents: rounded, but a share short of the whole never
// shows 100 and a share above none never shows 0.
int coveredPercent(double share);
// "Area covered: 87%".
std::string areaCoveredText(double share);
// "N uncovered part(s) of the area written to PATH".
std::string gapsWrittenText(const CoverageExport& result, const std::string& path);
// Why no share can be given for an area.
inline constexpr char kNoCoverageText[] =
    "The coverage cannot be computed: the area has no surface on the earth";

} // namespace finder
