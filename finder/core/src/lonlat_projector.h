#pragma once
// Turns extents given in a projected coordinate system into longitudes and
// latitudes on WGS 84, following the edges. The transformation of each
// system is made once and kept, so a folder of files in the same system
// costs one look-up in PROJ's database, not one per file. Used by one
// thread at a time (it holds its own PROJ context).
#include "finder/area_relation.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace finder {

class LonLatProjector {
public:
    LonLatProjector();
    ~LonLatProjector();
    LonLatProjector(const LonLatProjector&) = delete;
    LonLatProjector& operator=(const LonLatProjector&) = delete;

    enum class Outcome {
        NotProjected, // geographic, or not a system PROJ can read: leave the extent as it is
        Projected,    // `out` holds the extent in degrees
        Failed,       // projected, but the extent cannot be turned into degrees
    };
    // `definition` is the WKT (or PROJ string) of the extent's system.
    Outcome toLonLat(const std::string& definition, const AreaRect& extent, AreaRect& out);

private:
    struct Context;
    struct Transform;
    std::unique_ptr<Context> context_;
    // By definition; null for a system that is not projected.
    std::unordered_map<std::string, std::shared_ptr<Transform>> transforms_;
};

} // namespace finder
