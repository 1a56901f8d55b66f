#pragma once
// Where GDAL and PROJ, asked directly, place a data file on the earth: the
// corners of its extent in longitude/latitude on WGS 84, for the tests of
// what kavrel-find exports. The kinds beyond the layer table (GeoPackages,
// point clouds, photos...) are placed by their facts, whose reading is
// compared with GDAL's elsewhere; their corners are moved here the same way.
#include <strand32/file_facts.h>
#include <strand32/layer.h>
#include <strand32/layer_info.h>

#include <proj.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct LonLat {
    double lon, lat;
};

// The corners of the file's extent in longitude/latitude on WGS 84, moved
// by PROJ; an extent without a system when it lies within the world as it
// stands; nothing for a file without a known place.
inline std::optional<std::vector<LonLat>> placedCorners(const std::string& path) {
    const auto layer = strand32::layerRefOf(path);
    if (!layer)
        return std::nullopt;
    std::optional<MaporaExtent> e;
    std::optional<strand32::LayerCrs> crs;
    if (static_cast<std::uint16_t>(layer->type) >= 0x6001) {
        const strand32::FileFacts facts = strand32::readFileFacts(path, {});
        if (facts.extent)
            e = MaporaExtent{facts.extent->west, facts.extent->north, facts.extent->east,
                             facts.extent->south};
        if (!facts.crsWkt.empty())
            crs = strand32::LayerCrs{facts.crsWkt, facts.crsName};
    } else {
        e = strand32::layerExtent(*layer);
        crs = strand32::layerCrs(*layer);
    }
    if (!e)
        return std::nullopt;
    std::vector<LonLat> corners = {
        {e->west, e->south}, {e->east, e->south}, {e->east, e->north}, {e->west, e->north}};
    if (!crs) {
        const bool world = e->west >= -180 && e->east <= 180 && e->south >= -90 && e->north <= 90;
        return world ? std::optional(corners) : std::nullopt;
    }
    std::unique_ptr<PJ_CONTEXT, decltype(&proj_context_destroy)> ctx(proj_context_create(),
                                                                     proj_context_destroy);
    std::unique_ptr<PJ, decltype(&proj_destroy)> op(
        proj_create_crs_to_crs(ctx.get(), crs->wkt.c_str(), "EPSG:4326", nullptr), proj_destroy);
    std::unique_ptr<PJ, decltype(&proj_destroy)> lonLat(
        op ? proj_normalize_for_visualization(ctx.get(), op.get()) : nullptr, proj_destroy);
    if (!lonLat)
        return std::nullopt;
    for (LonLat& c : corners) {
        const PJ_COORD moved = proj_trans(lonLat.get(), PJ_FWD, proj_coord(c.lon, c.lat, 0, 0));
        c = {moved.xy.x, moved.xy.y};
    }
    return corners;
}

} // namespace testsupport
