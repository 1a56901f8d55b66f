// Footprint rings: the extent's outline, densified where the system is
// projected, transformed to longitude/latitude with OGR (PROJ).
#include "finder/export/footprint_ring.h"

#include <strand32/gdal_support.h>

#include <cmath>

namespace finder {

struct FootprintMaker::Transformation {
    strand32::TransformPtr toLonLat; // null when the system cannot be read or transformed
    bool projected = false;
};

namespace {

bool liesWithinWorld(const strand32::Extent& e) {
    return e.west >= -180.0 && e.east <= 180.0 && e.south >= -90.0 && e.north <= 90.0 &&
           e.west <= e.east && e.south <= e.north;
}

bool isFinite(const strand32::Extent& e) {
    return std::isfinite(e.west) && std::isfinite(e.north) && std::isfinite(e.east) &&
           std::isfinite(e.south);
}

// South-west, south-east, north-east, north-west and back, `segments`
// pieces per edge.
FootprintRing outline(const strand32::Extent& e, int segments) {
    const LonLat corners[] = {
        {e.west, e.south}, {e.east, e.south}, {e.east, e.north}, {e.west, e.north}};
    FootprintRing ring;
    for (int edge = 0; edge < 4; ++edge) {
        const LonLat a = corners[edge];
        const LonLat b = corners[(edge + 1) % 4];
        for (int i = 0; i < segments; ++i) {
            const double t = static_cast<double>(i) / segments;
            ring.push_back({a.lon + (b.lon - a.lon) * t, a.lat + (b.lat - a.lat) * t});
        }
    }
    ring.push_back(ring.front());
    return ring;
}

strand32::SrsPtr lonLatSystem(const char* definition) {
    strand32::SrsPtr srs(OSRNewSpatialReference(nullptr));
    if (!srs || OSRSetFromUserInput(srs.get(), definition) != OGRERR_NONE)
        return nullptr;
    OSRSetAxisMappingStrategy(srs.get(), OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

} // namespace

strand32::LonLatRing lonLatRingOf(const FootprintRing& ring) {
    strand32::LonLatRing out;
    out.reserve(ring.size());
    for (const LonLat& p : ring)
        out.push_back({p.lon, p.lat});
    return out;
}

FootprintMaker::FootprintMaker() = default;
FootprintMaker::~FootprintMaker() = default;

const FootprintMaker::Transformation&
FootprintMaker::transformationFor(const std::string& definition) {
    auto& slot = transformations_[definition];
    if (slot)
        return *slot;
    slot = std::make_unique<Transformation>();
    strand32::QuietGdalScope quiet;
    const strand32::SrsPtr source = lonLatSystem(definition.c_str());
    const strand32::SrsPtr target = lonLatSystem("WGS84");
    if (source && target) {
        slot->projected = OSRIsProjected(source.get()) != 0;
        slot->toLonLat.reset(OCTNewCoordinateTransformation(source.get(), target.get()));
    }
    return *slot;
}

std::optional<FootprintRing> FootprintMaker::ring(const strand32::FileFacts& facts) {
    if (!facts.extent || !isFinite(*facts.extent))
        return std::nullopt;
    const strand32::Extent& extent = *facts.extent;
    if (facts.crsWkt.empty()) {
        if (!liesWithinWorld(extent))
            return std::nullopt;
        return outline(extent, 1);
    }
    const Transformation& transformation = transformationFor(facts.crsWkt);
    if (!transformation.toLonLat)
        return std::nullopt;
    FootprintRing ring = outline(extent, transformation.projected ? kFootprintEdgeSegments : 1);
    std::vector<double> x, y, z(ring.size(), 0.0);
    for (const LonLat& p : ring) {
        x.push_back(p.lon);
        y.push_back(p.lat);
    }
    std::vector<int> ok(ring.size(), 0);
    strand32::QuietGdalScope quiet;
    OCTTransformEx(transformation.toLonLat.get(), static_cast<int>(ring.size()), x.data(), y.data(),
                   z.data(), ok.data());
    // Points outside the system's domain are dropped; the rest still outline it.
    FootprintRing placed;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i)
        if (ok[i] && std::isfinite(x[i]) && std::isfinite(y[i]))
            placed.push_back({x[i], y[i]});
    if (placed.size() < 3)
        return std::nullopt;
    placed.push_back(placed.front());
    return placed;
}

} // namespace finder
