#pragma once
// Extents of a coordinate system converted to longitude/latitude on WGS 84.
#include <string_view>

namespace quill32 {

struct LonLatExtent {
    double west = 0, north = 0, east = 0, south = 0;
};

// Transforms the extent (west, north, east, south) given in the coordinate
// system `definition` (WKT or PROJ string) to longitude/latitude degrees on
// WGS 84, following the edges rather than only the corners. False when the
// definition cannot be read or the extent cannot be transformed.
bool extentToLonLat(std::string_view definition, double west, double north, double east,
                    double south, LonLatExtent& out);

} // namespace quill32
