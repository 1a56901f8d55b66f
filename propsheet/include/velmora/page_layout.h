#pragma once
// The titles of the server's two pages and the labels of their rows, top to
// bottom, for hosts that show the pages before the server has read a file.
// The dialog templates of the server are made of these texts.
#include <array>

namespace velmora {

inline constexpr char kGeoTitle[] = "Geography";
inline constexpr char kObjectTitle[] = "Spatial Objects";

inline constexpr std::array<const char*, 7> kGeoLabels = {
    "Coordinate System :", "Datum:",           "Units:",         "Northwest North:",
    "Northwest East:",     "Southeast North:", "Southeast East:"};
inline constexpr std::array<const char*, 5> kObjectLabels = {
    "Point Objects:", "Line Objects:", "Polygon Objects:", "Other Objects:", "Total Objects:"};

} // namespace velmora
