#pragma once
// The four keys that name a coordinate system in the database: its group,
// the system itself, its datum and its units. Fixed 64-byte NUL-terminated
// fields, as the map-view library writes them.
namespace quill32 {

constexpr int kKeySize = 64;

struct CoordSysKeys {
    char group[kKeySize];
    char system[kKeySize];
    char datum[kKeySize];
    char units[kKeySize];
};
static_assert(sizeof(CoordSysKeys) == 4 * kKeySize);

} // namespace quill32

using CoordSysKeys = quill32::CoordSysKeys;
