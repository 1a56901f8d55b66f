#include "quill32/transform.h"

#include <cmath>
#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>

#include "proj_handles.h"

namespace quill32 {
namespace {

constexpr std::size_t kCacheLimit = 64; // systems kept per thread
constexpr int kDensifyPoints = 21;      // points added along each edge

// What is known of one definition in the calling thread's context.
struct Transformation {
    bool projected = false;     // the horizontal part is a projected system
    bool operationMade = false; // `operation` was asked for
    PjPtr operation;            // to longitude/latitude on WGS 84; null when none could be made
};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};
using Cache = std::unordered_map<std::string, Transformation, TextHash, std::equal_to<>>;

// The calling thread's transformations. The context is made first so that it
// is destroyed after them, when the thread ends.
Cache& threadCache() {
    threadContext();
    thread_local Cache cache;
    return cache;
}

bool isProjected(PJ_CONTEXT* ctx, const PJ* crs) {
    PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_BOUND_CRS) {
        const PjPtr base(proj_get_source_crs(ctx, crs));
        type = base ? proj_get_type(base.get()) : PJ_TYPE_UNKNOWN;
    }
    return type == PJ_TYPE_PROJECTED_CRS;
}

// The system itself; the height part of a compound system plays no part in
// an extent. A bound system stays whole: its own shift to WGS 84 is the one
// to use.
PjPtr horizontalCrs(PJ_CONTEXT* ctx, std::string_view definition) {
    PjPtr source = createCrs(ctx, definition, false);
    if (source && proj_get_type(source.get()) == PJ_TYPE_COMPOUND_CRS)
        source.reset(proj_crs_get_sub_crs(ctx, source.get(), 0));
    return source;
}

void makeOperation(PJ_CONTEXT* ctx, std::string_view definition, Transformation& made) {
    made.operationMade = true;
    const PjPtr source = horizontalCrs(ctx, definition);
    const PjPtr target(proj_create(ctx, "EPSG:4326"));
    if (!source || !target)
        return;
    const PjPtr operation(
        proj_create_crs_to_crs_from_pj(ctx, source.get(), target.get(), nullptr, nullptr));
    // Longitude first, whatever the axis order of EPSG:4326.
    if (operation)
        made.operation.reset(proj_normalize_for_visualization(ctx, operation.get()));
}

// The system's kind at once; the operation, which costs a search of PROJ's
// registry, only when `withOperation` (a geographic system's extent is not
// turned by projectedExtentToLonLat).
const Transformation& transformationFor(std::string_view definition, bool withOperation) {
    Cache& cache = threadCache();
    auto found = cache.find(definition);
    if (found == cache.end()) {
        if (cache.size() >= kCacheLimit)
            cache.clear();
        Transformation made;
        if (const PjPtr source = horizontalCrs(threadContext(), definition))
            made.projected = isProjected(threadContext(), source.get());
        else
            made.operationMade = true; // nothing to turn
        found = cache.emplace(std::string(definition), std::move(made)).first;
    }
    if (withOperation && !found->second.operationMade)
        makeOperation(threadContext(), definition, found->second);
    return found->second;
}

// `out` is written only on success.
bool transformBounds(const Transformation& transformation, double west, double north, double east,
                     double south, LonLatExtent& out) {
    if (!transformation.operation || !std::isfinite(west) || !std::isfinite(north) ||
        !std::isfinite(east) || !std::isfinite(south) || west > east || south > north)
        return false;
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    if (!proj_trans_bounds(threadContext(), transformation.operation.get(), PJ_FWD, west, south,
                           east, north, &xmin, &ymin, &xmax, &ymax, kDensifyPoints) ||
        !std::isfinite(xmin) || !std::isfinite(ymin) || !std::isfinite(xmax) ||
        !std::isfinite(ymax))
        return false;
    out = {xmin, ymax, xmax, ymin};
    return true;
}

} // namespace

bool extentToLonLat(std::string_view definition, double west, double north, double east,
                    double south, LonLatExtent& out) {
    try {
        return transformBounds(transformationFor(definition, true), west, north, east, south, out);
    } catch (...) {
        return false;
    }
}

LonLatOutcome projectedExtentToLonLat(std::string_view definition, double west, double north,
                                      double east, double south, LonLatExtent& out) {
    try {
        if (!transformationFor(definition, false).projected)
            return LonLatOutcome::NotProjected;
        return transformBounds(transformationFor(definition, true), west, north, east, south, out)
                   ? LonLatOutcome::Projected
                   : LonLatOutcome::Failed;
    } catch (...) {
        return LonLatOutcome::Failed;
    }
}

} // namespace quill32
