#pragma once
// The map-view library's C interface, part 1: layers opened with GDAL/OGR
// (extent, coordinate-system keys, object counts) and the library's start
// and end. Held in libstrand32, which links no Qt; the map functions are in
// strand32/mapora_map.h (libstrand32_map).
// No exception leaves these functions; failures are return values, and
// Mapora_LastErrorText tells why the thread's last Mapora_* call failed.
// Property pages bind some of them by number; each says which it stands for.
#include <cstdint>

#include "quill32/coordsys_keys.h"
#include "strand32/layer.h"

extern "C" {

// An extent or view area: west x, north y, east x, south y.
struct MaporaExtent {
    double west;
    double north;
    double east;
    double south;
};

// Objects of a layer by kind of geometry.
struct MaporaObjectCounts {
    std::int32_t points;
    std::int32_t lines;
    std::int32_t polygons;
    std::int32_t others;
};

// Ordinal 4. Readies the library with the coordinate-system database file
// (datora.dat). 0 when ready; anything else means no map can be made.
std::int32_t Mapora_Init(const char* databaseFile);

// Ordinal 5. Closes every map still open and releases the library.
void Mapora_Shutdown(void);

// Ordinal 163. The layer's extent in its own coordinates; non-zero when known.
std::int32_t Mapora_LayerExtent(const LayerDescriptor* layer, MaporaExtent* extent);

// Ordinal 164. The layer's coordinate-system keys; non-zero when written.
// `scratch` receives the name of the layer's coordinate system (cut to fit).
std::int32_t Mapora_LayerCoordSys(const LayerDescriptor* layer, CoordSysKeys* keys, char* scratch,
                                  std::int32_t scratchSize);

// Ordinal 162. Counts the layer's point, line, polygon and other objects;
// non-zero when counted.
std::int32_t Mapora_LayerObjectCount(const LayerDescriptor* layer, MaporaObjectCounts* counts);

// Why the calling thread's last Mapora_* call (of either library) failed:
// the text is copied into `buffer`, cut to size - 1 characters; the result is
// the text's full length, 0 when that call succeeded or gave no reason.
// Every other Mapora_* call clears the text when it starts.
std::int32_t Mapora_LastErrorText(char* buffer, std::int32_t size);

} // extern "C"
