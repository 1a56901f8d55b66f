#pragma once
// The map-view library's C interface, part 2: maps drawn into Qt widgets,
// with their layers, view and drawing properties. Held in libstrand32_map,
// which links libstrand32 (strand32/mapora_layer.h: Mapora_Init, layers,
// Mapora_LastErrorText, which also tells why a map function failed).
// No exception leaves these functions; failures are return values.
#include <cstddef>
#include <cstdint>

#include "quill32/coordsys_keys.h"
#include "strand32/mapora_layer.h"

extern "C" {

// A map; 0 means none.
typedef std::uint32_t MaporaMap;

// x = longitude (or easting), y = latitude (or northing).
struct MaporaPoint {
    double x;
    double y;
};

// A drawing rectangle in pixels of the parent window, right and bottom
// exclusive.
struct MaporaRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Drawing properties of a map, 1056 bytes. Flags are 16-bit, non-zero = on.
struct MapProperties {
    char title[256];             // 0: map title (NUL-terminated)
    std::uint32_t backgroundRgb; // 256: 0x00RRGGBB
    std::uint32_t landRgb;       // 260: polygon fill
    std::uint32_t outlineRgb;    // 264: lines and polygon outlines
    std::uint32_t pointRgb;      // 268: point symbols
    std::uint8_t reserved1[560]; // 272
    std::uint16_t showGraticule; // 832: draw a 30-degree graticule
    std::uint8_t reserved2[216]; // 834
    std::uint16_t showFrame;     // 1050: draw a frame round the view
    std::uint8_t reserved3[4];   // 1052
};
static_assert(sizeof(MapProperties) == 1056);
static_assert(offsetof(MapProperties, showGraticule) == 832);
static_assert(offsetof(MapProperties, showFrame) == 1050);

// Mode of Mapora_MapConvertCoordinates: window pixel to longitude/latitude.
#define MAPORA_PIXEL_TO_LONLAT 4
// Mode 5 of Mapora_MapSetCursor: the cross-hair cursor.
#define MAPORA_CURSOR_CROSS 5

// A map drawn into a child widget of `parentWindow` (a QWidget*) at `rect`.
// The map document at `documentPath` (and its .md1 .md2 .md3 companions) is
// written beside it. `keys` is the map's coordinate system. 0 on failure.
MaporaMap Mapora_MapCreate(const char* documentPath, void* parentWindow, const MaporaRect* rect,
                           std::int32_t mode, void* moduleInstance, const CoordSysKeys* keys);

// Adds a layer from the four descriptor strings. Layer id >= 0, negative on
// failure.
std::int32_t Mapora_LayerConnect(MaporaMap map, std::uint16_t layerType, std::int32_t reserved,
                                 const char* fileName, const char* companion1,
                                 const char* companion2, const char* companion3,
                                 const char* layerName, std::int32_t reserved2,
                                 const CoordSysKeys* keys);

// Non-zero on success for every function below that returns std::int32_t.
std::int32_t Mapora_MapGetProperties(MaporaMap map, MapProperties* properties);
std::int32_t Mapora_MapSetProperties(MaporaMap map, const MapProperties* properties);
std::int32_t Mapora_LayerSetVisible(MaporaMap map, std::int32_t layer, std::int32_t visible);
std::int32_t Mapora_MapRedraw(MaporaMap map, std::int32_t flags);
std::int32_t Mapora_MapSetCursor(MaporaMap map, std::int32_t cursor);
std::int32_t Mapora_MapSize(MaporaMap map, const MaporaRect* rect);
// Mode 4: `in` is a pixel of the parent window (as doubles), `out` the
// longitude/latitude under it.
std::int32_t Mapora_MapConvertCoordinates(MaporaMap map, const MaporaPoint* in, MaporaPoint* out,
                                          std::int32_t mode);
std::int32_t Mapora_MapGetViewCenter(MaporaMap map, MaporaPoint* center);
std::int32_t Mapora_MapSetViewCenter(MaporaMap map, const MaporaPoint* center);
// Scale = degrees of longitude across the view; larger shows more.
std::int32_t Mapora_MapGetViewScale(MaporaMap map, double* scale);
std::int32_t Mapora_MapSetViewScale(MaporaMap map, double scale);
std::int32_t Mapora_MapGetViewArea(MaporaMap map, MaporaExtent* area);
std::int32_t Mapora_MapClose(MaporaMap map);

} // extern "C"
