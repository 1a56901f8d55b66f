#pragma once
// Extents of a coordinate system converted to longitude/latitude on WGS 84.
// The transformation of each system is made once per thread and kept (a
// bounded number of them), so a folder of files in the same system costs one
// look-up in PROJ's database, not one per file. Callable from any thread.
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

enum class LonLatOutcome {
    NotProjected, // geographic, or not a system PROJ can read: the extent stays as it is
    Projected,    // `out` holds the extent in degrees
    Failed,       // projected, but the extent cannot be turned into degrees
};

// As extentToLonLat, but only for a projected system (also the horizontal
// part of a bound or compound one); `out` is written only when Projected.
LonLatOutcome projectedExtentToLonLat(std::string_view definition, double west, double north,
                                      double east, double south, LonLatExtent& out);

} // namespace quill32
