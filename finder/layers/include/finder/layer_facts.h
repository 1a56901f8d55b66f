#pragma once
// What a data file tells the candidate test, read in one go: its extent in
// its own units and as an area in degrees meets it, its coordinate-system
// keys, and the other files that reading rested on. The layer module
// (libkavrel_layers, GDAL and PROJ) reads them; the finder loads the module
// only when a search first opens a file, so that a search that opens none
// starts without those libraries. The module's one C entry point gives its
// table of functions; nothing thrown crosses it.
#include <quill32/coordsys_keys.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace finder {

struct FactsRect {
    double west = 0, north = 0, east = 0, south = 0;
    bool operator==(const FactsRect&) const = default;
};

struct LayerFacts {
    // As the map-view library gives it; none when not known.
    std::optional<FactsRect> extent;
    // The extent as an area in degrees meets it: turned into longitudes and
    // latitudes when the layer's system is projected, as it is otherwise;
    // none when the extent is not known or cannot be turned.
    std::optional<FactsRect> lonLat;
    // Whether the keys were asked for: naming a system loads PROJ's whole
    // registry once per process, which a search by area alone does without.
    bool keysRead = false;
    // The layer's coordinate-system keys; none when its system is not known.
    std::optional<CoordSysKeys> keys;
    // Other files read (names relative to the file's folder when in it).
    std::vector<std::string> companions;
};

bool sameKeys(const CoordSysKeys& a, const CoordSysKeys& b);
bool operator==(const LayerFacts& a, const LayerFacts& b);

struct LayerModule {
    std::uint32_t version;
    // Reads the file `path` names (full, or relative to the current folder),
    // with its coordinate-system keys when `withKeys`; false, with `facts`
    // empty, when the name is of no layer type.
    bool (*readFacts)(const char* path, bool withKeys, LayerFacts& facts) noexcept;
};

inline constexpr std::uint32_t kLayerModuleVersion = 2;
inline constexpr char kLayerModuleEntry[] = "kavrel_layer_module";

} // namespace finder

extern "C" const finder::LayerModule* kavrel_layer_module();
