#include "lonlat_projector.h"

#include <proj.h>

#include <cmath>

namespace finder {
namespace {

constexpr std::size_t kCacheLimit = 64;
constexpr int kDensifyPoints = 21; // points added along each edge

struct PjDeleter {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using PjPtr = std::unique_ptr<PJ, PjDeleter>;

} // namespace

struct LonLatProjector::Context {
    Context() : ctx(proj_context_create()) {
        if (ctx != nullptr)
            proj_log_level(ctx, PJ_LOG_NONE);
    }
    ~Context() {
        if (ctx != nullptr)
            proj_context_destroy(ctx);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    PJ_CONTEXT* ctx;
};

struct LonLatProjector::Transform {
    PjPtr operation; // projected system to longitude/latitude on WGS 84
};

LonLatProjector::LonLatProjector() : context_(std::make_unique<Context>()) {}
LonLatProjector::~LonLatProjector() {
    transforms_.clear(); // the operations go before their context
}

namespace {

// The horizontal part of a system: the source of a bound system, the first
// part of a compound one.
PjPtr horizontalCrs(PJ_CONTEXT* ctx, const std::string& definition) {
    PjPtr crs(proj_create(ctx, definition.c_str()));
    for (int depth = 0; crs && depth < 3; ++depth) {
        const PJ_TYPE type = proj_get_type(crs.get());
        if (type == PJ_TYPE_BOUND_CRS)
            crs.reset(proj_get_source_crs(ctx, crs.get()));
        else if (type == PJ_TYPE_COMPOUND_CRS)
            crs.reset(proj_crs_get_sub_crs(ctx, crs.get(), 0));
        else
            break;
    }
    return crs;
}

PjPtr operationToLonLat(PJ_CONTEXT* ctx, const PJ* source) {
    PjPtr target(proj_create(ctx, "EPSG:4326"));
    if (!target)
        return nullptr;
    PjPtr operation(proj_create_crs_to_crs_from_pj(ctx, source, target.get(), nullptr, nullptr));
    if (!operation)
        return nullptr;
    // Longitude first, whatever the axis order of EPSG:4326.
    return PjPtr(proj_normalize_for_visualization(ctx, operation.get()));
}

} // namespace

LonLatProjector::Outcome LonLatProjector::toLonLat(const std::string& definition,
                                                   const AreaRect& extent, AreaRect& out) {
    PJ_CONTEXT* ctx = context_->ctx;
    if (ctx == nullptr)
        return Outcome::NotProjected;
    auto found = transforms_.find(definition);
    if (found == transforms_.end()) {
        if (transforms_.size() >= kCacheLimit)
            transforms_.clear();
        std::shared_ptr<Transform> transform;
        PjPtr crs = horizontalCrs(ctx, definition);
        if (crs && proj_get_type(crs.get()) == PJ_TYPE_PROJECTED_CRS)
            transform = std::make_shared<Transform>(Transform{operationToLonLat(ctx, crs.get())});
        found = transforms_.emplace(definition, std::move(transform)).first;
    }
    const Transform* transform = found->second.get();
    if (transform == nullptr)
        return Outcome::NotProjected;
    if (!transform->operation)
        return Outcome::Failed;
    double west = 0, south = 0, east = 0, north = 0;
    if (!proj_trans_bounds(ctx, transform->operation.get(), PJ_FWD, extent.x1, extent.y2, extent.x2,
                           extent.y1, &west, &south, &east, &north, kDensifyPoints) ||
        !std::isfinite(west) || !std::isfinite(south) || !std::isfinite(east) ||
        !std::isfinite(north))
        return Outcome::Failed;
    out = {west, north, east, south};
    return Outcome::Projected;
}

} // namespace finder
