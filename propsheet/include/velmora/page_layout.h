#pragma once
// The titles of the server's two pages and the labels of their rows, top to
// bottom, for hosts that show the pages before the server has read a file.
// The dialog templates of the server are made of these texts.
#include <array>

namespace velmora {

inline constexpr char kGeoTitle[] = "Geography";
inline constexpr char kObjectTitle[] = "Spatial Objects";
// The third page, offered for files of more than one layer: a heading row,
// then one row per layer (its name, then its geometry type, objects and
// system).
inline constexpr char kLayerTitle[] = "Layers";
inline constexpr char kLayerHeading[] = "Layer";
inline constexpr char kLayerHeadingValue[] = "Geometry, objects, system";

inline constexpr std::array<const char*, 7> kGeoLabels = {
    "Coordinate System :", "Datum:",           "Units:",         "Northwest North:",
    "Northwest East:",     "Southeast North:", "Southeast East:"};
inline constexpr std::array<const char*, 5> kObjectLabels = {
    "Point Objects:", "Line Objects:", "Polygon Objects:", "Other Objects:", "Total Objects:"};

} // namespace velmora
