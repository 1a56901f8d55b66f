#include "quill32/transform.h"

#include <cmath>
#include <string>

#include "proj_handles.h"

namespace quill32 {

bool extentToLonLat(std::string_view definition, double west, double north, double east,
                    double south, LonLatExtent& out) {
    try {
        if (!std::isfinite(west) || !std::isfinite(north) || !std::isfinite(east) ||
            !std::isfinite(south) || west > east || south > north)
            return false;
        PJ_CONTEXT* ctx = threadContext();
        PjPtr source = createCrs(ctx, definition, false);
        PjPtr target(proj_create(ctx, "EPSG:4326"));
        if (!source || !target)
            return false;
        PjPtr op(proj_create_crs_to_crs_from_pj(ctx, source.get(), target.get(), nullptr, nullptr));
        if (!op)
            return false;
        // Longitude first, whatever the axis order of EPSG:4326.
        PjPtr normal(proj_normalize_for_visualization(ctx, op.get()));
        if (!normal)
            return false;
        double xmin, ymin, xmax, ymax;
        if (!proj_trans_bounds(ctx, normal.get(), PJ_FWD, west, south, east, north, &xmin, &ymin,
                               &xmax, &ymax, 21) ||
            !std::isfinite(xmin) || !std::isfinite(ymin) || !std::isfinite(xmax) ||
            !std::isfinite(ymax))
            return false;
        out = {xmin, ymax, xmax, ymin};
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quill32
