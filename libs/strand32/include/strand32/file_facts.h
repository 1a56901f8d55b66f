#pragma once
// What a data file is and where it lies: its kind, its layers with their
// extents, coordinate systems and (on request) object counts, its area in
// degrees, and the other files the answer rests on. One reading answers the
// search, the footprint cache, the exports, the maps and the property pages;
// the Mapora_* functions are wrappers over it for outside callers.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "quill32/coordsys_keys.h"
#include "strand32/layer.h"
#include "strand32/shared_text.h"

namespace strand32 {

// West x, north y, east x, south y; west <= east and south <= north unless
// the box crosses the antimeridian (only for areas in degrees).
struct Extent {
    double west = 0, north = 0, east = 0, south = 0;
    bool operator==(const Extent&) const = default;
};

struct ObjectCounts {
    std::int64_t points = 0, lines = 0, polygons = 0, others = 0;
    bool operator==(const ObjectCounts&) const = default;
};

// One layer of a file: the only one of a plain file, one of several of a
// container (a GeoPackage's tables, a geodatabase's feature classes).
struct LayerFacts {
    std::string name;             // as the format names it; empty for a plain file
    std::string geometryType;     // "Point", "Polygon", ..., "Raster"; empty when unknown
    std::optional<Extent> extent; // in the layer's own coordinates
    SharedText crsWkt;            // the layer's system as WKT; empty when none
    std::string crsName;
    std::optional<CoordSysKeys> keys;   // only when keys were asked for
    std::optional<ObjectCounts> counts; // only when counts were asked for
};

struct FileFacts {
    LayerType kind = LayerType::None;
    std::vector<LayerFacts> layers;
    // The file as a whole: the only layer's, or the union of a container's
    // extents in their common system, or in degrees on WGS 84 when their
    // systems differ (crsWkt then names that).
    std::optional<Extent> extent;
    SharedText crsWkt;
    std::string crsName;
    // Whether keys were asked for (naming a system loads PROJ's registry
    // once per process, which a search by area alone does without).
    bool keysRead = false;
    std::optional<CoordSysKeys> keys; // the file's system's keys
    // The extent as an area in degrees meets it: turned into longitudes and
    // latitudes when projected; as given when the system is not known; none
    // when unknown or when it cannot be turned.
    std::optional<Extent> lonLat;
    bool countsRead = false;
    std::optional<ObjectCounts> counts; // over all layers
    // Other files the answer rests on: names in the file's folder as bare
    // names (or relative to it), others as read.
    std::vector<std::string> companions;
    // Why nothing is known, when the file could not be read; empty otherwise.
    std::string error;
};

// Keys compare up to their NUL: what follows it in a field means nothing.
inline bool sameKeys(const CoordSysKeys& a, const CoordSysKeys& b) {
    const auto same = [](const char* x, const char* y) {
        return std::strncmp(x, y, quill32::kKeySize) == 0;
    };
    return same(a.group, b.group) && same(a.system, b.system) && same(a.datum, b.datum) &&
           same(a.units, b.units);
}

inline bool sameKeys(const std::optional<CoordSysKeys>& a, const std::optional<CoordSysKeys>& b) {
    return a.has_value() == b.has_value() && (!a || sameKeys(*a, *b));
}

inline bool operator==(const LayerFacts& a, const LayerFacts& b) {
    return a.name == b.name && a.geometryType == b.geometryType && a.extent == b.extent &&
           a.crsWkt == b.crsWkt && a.crsName == b.crsName && sameKeys(a.keys, b.keys) &&
           a.counts == b.counts;
}

// The same facts; why nothing is known (`error`) is not compared.
inline bool operator==(const FileFacts& a, const FileFacts& b) {
    return a.kind == b.kind && a.layers == b.layers && a.extent == b.extent &&
           a.crsWkt == b.crsWkt && a.crsName == b.crsName && a.keysRead == b.keysRead &&
           sameKeys(a.keys, b.keys) && a.lonLat == b.lonLat && a.countsRead == b.countsRead &&
           a.counts == b.counts && a.companions == b.companions;
}

struct FactsRequest {
    bool keys = false;
    bool counts = false;
};

// Reads the file `path` names: a full path, or one below a folder's
// descriptor ("/proc/self/fd/N/name") when the full path is too long to
// open. Never throws for a bad file: what cannot be read stays unknown and
// `error` says why.
FileFacts readFileFacts(const std::string& path, FactsRequest request);

// The same for a layer named with its companions (the Mapora_* functions
// read the layer their caller's descriptor names).
FileFacts readLayerFacts(const LayerRef& layer, FactsRequest request);

} // namespace strand32
