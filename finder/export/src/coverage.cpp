// Coverage of an area, with GEOS through OGR. Everything happens in the
// longitude/latitude plane of the area: an area across the antimeridian
// runs on past 180 degrees, and each footprint is laid there once for every
// turn of longitude at which it meets the area. The union of the footprints
// is cut by the area; covered part and area are measured in a cylindrical
// equal-area projection of the ellipsoid (PROJ), after their long edges are
// split so that they follow the lines they are in longitude/latitude.
#include "finder/export/coverage.h"

#include <cpl_error.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace finder {
namespace {

constexpr double kTurn = 360.0;
constexpr double kMeasureStep = 0.25; // degrees: longest edge measured as straight

struct Box {
    double west, south, east, north;
    bool meets(const Box& other) const {
        return west < other.east && other.west < east && south < other.north && other.south < north;
    }
};

std::unique_ptr<OGRPolygon> boxPolygon(const Box& b) {
    auto ring = std::make_unique<OGRLinearRing>();
    ring->addPoint(b.west, b.south);
    ring->addPoint(b.east, b.south);
    ring->addPoint(b.east, b.north);
    ring->addPoint(b.west, b.north);
    ring->closeRings();
    auto polygon = std::make_unique<OGRPolygon>();
    polygon->addRingDirectly(ring.release());
    return polygon;
}

Box boundsOf(const strand32::LonLatRing& ring) {
    const MaporaExtent e = strand32::ringBounds(ring);
    return {e.west, e.south, e.east, e.north};
}

// A closed ring of four edges, along meridians and parallels in turn: a
// rectangle, valid without asking GEOS (most footprints are such boxes).
bool isAxisBox(const strand32::LonLatRing& ring) {
    if (ring.size() != 5 || ring[4].x != ring[0].x || ring[4].y != ring[0].y)
        return false;
    for (std::size_t i = 1; i < 5; ++i) {
        const bool alongParallel = ring[i].y == ring[i - 1].y && ring[i].x != ring[i - 1].x;
        const bool alongMeridian = ring[i].x == ring[i - 1].x && ring[i].y != ring[i - 1].y;
        const bool firstAlongParallel = ring[1].y == ring[0].y;
        if (!(alongParallel || alongMeridian) ||
            alongParallel != (firstAlongParallel == (i % 2 == 1)))
            return false;
    }
    return true;
}

// The ring moved `turn` degrees east, as a valid polygon (a ring that
// crosses itself is repaired); nothing when no surface is left.
OGRGeometryUniquePtr polygonOf(const strand32::LonLatRing& ring, double turn) {
    auto linear = std::make_unique<OGRLinearRing>();
    linear->setNumPoints(static_cast<int>(ring.size()), FALSE);
    for (std::size_t i = 0; i < ring.size(); ++i)
        linear->setPoint(static_cast<int>(i), ring[i].x + turn, ring[i].y);
    auto polygon = std::make_unique<OGRPolygon>();
    polygon->addRingDirectly(linear.release());
    if (isAxisBox(ring) || polygon->IsValid())
        return OGRGeometryUniquePtr(polygon.release());
    OGRGeometryUniquePtr repaired(polygon->MakeValid());
    if (repaired == nullptr || repaired->IsEmpty())
        return nullptr;
    return repaired;
}

// The polygons of a repaired footprint into `pieces`. A ring without a
// surface (a point's box, a line) is repaired into points or lines, which
// cover nothing.
void addPolygons(OGRGeometryUniquePtr geometry, OGRMultiPolygon& pieces) {
    if (!geometry)
        return;
    const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
    if (type == wkbPolygon) {
        pieces.addGeometryDirectly(geometry.release());
    } else if (type == wkbMultiPolygon || type == wkbGeometryCollection) {
        for (const OGRGeometry* part : *geometry->toGeometryCollection())
            addPolygons(OGRGeometryUniquePtr(part->clone()), pieces);
    }
}

// Surface in square metres of geometries of the area's plane, on the
// WGS 84 ellipsoid.
class EqualAreaMeasure {
public:
    explicit EqualAreaMeasure(double centralLongitude) {
        lonLat_.SetWellKnownGeogCS("WGS84");
        lonLat_.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        const std::string cea = "+proj=cea +lon_0=" + std::to_string(centralLongitude) +
                                " +ellps=WGS84 +units=m +over +no_defs";
        if (equalArea_.importFromProj4(cea.c_str()) == OGRERR_NONE)
            toEqualArea_.reset(OGRCreateCoordinateTransformation(&lonLat_, &equalArea_));
    }
    bool usable() const { return toEqualArea_ != nullptr; }

    // Nothing when a point cannot be placed.
    std::optional<double> squareMetres(const OGRGeometry& geometry) const {
        if (geometry.IsEmpty())
            return 0.0;
        OGRGeometryUniquePtr measured(geometry.clone());
        measured->segmentize(kMeasureStep);
        measured->assignSpatialReference(nullptr);
        if (measured->transform(toEqualArea_.get()) != OGRERR_NONE)
            return std::nullopt;
        return areaOf(*measured);
    }

private:
    static double areaOf(const OGRGeometry& g) {
        const OGRwkbGeometryType type = wkbFlatten(g.getGeometryType());
        if (type == wkbPolygon)
            return g.toPolygon()->get_Area();
        if (type == wkbMultiPolygon || type == wkbGeometryCollection) {
            double sum = 0;
            for (const OGRGeometry* part : *g.toGeometryCollection())
                sum += areaOf(*part);
            return sum;
        }
        return 0.0;
    }

    OGRSpatialReference lonLat_;
    OGRSpatialReference equalArea_;
    std::unique_ptr<OGRCoordinateTransformation> toEqualArea_;
};

strand32::LonLatRing ringOf(const OGRLinearRing& ring, double turn) {
    strand32::LonLatRing out;
    out.reserve(static_cast<std::size_t>(ring.getNumPoints()));
    for (int i = 0; i < ring.getNumPoints(); ++i)
        out.push_back({ring.getX(i) + turn, ring.getY(i)});
    return out;
}

// The polygons of `geometry` moved `turn` degrees east.
void collectPolygons(const OGRGeometry& geometry, double turn,
                     std::vector<strand32::LonLatPolygon>& out) {
    const OGRwkbGeometryType type = wkbFlatten(geometry.getGeometryType());
    if (type == wkbPolygon) {
        const OGRPolygon* polygon = geometry.toPolygon();
        if (polygon->IsEmpty())
            return;
        strand32::LonLatPolygon rings{ringOf(*polygon->getExteriorRing(), turn)};
        for (int i = 0; i < polygon->getNumInteriorRings(); ++i)
            rings.push_back(ringOf(*polygon->getInteriorRing(i), turn));
        out.push_back(std::move(rings));
    } else if (type == wkbMultiPolygon || type == wkbGeometryCollection) {
        for (const OGRGeometry* part : *geometry.toGeometryCollection())
            collectPolygons(*part, turn, out);
    }
}

bool validArea(const MaporaExtent& a) {
    const auto within = [](double v, double bound) {
        return std::isfinite(v) && std::abs(v) <= bound;
    };
    return within(a.west, 180) && within(a.east, 180) && within(a.north, 90) &&
           within(a.south, 90) && a.south < a.north && a.west != a.east;
}

} // namespace

std::optional<Coverage> areaCoverage(const MaporaExtent& area,
                                     const std::vector<strand32::LonLatRing>& footprints) {
    if (!validArea(area))
        return std::nullopt;
    CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
    const Box box{area.west, area.south, area.west > area.east ? area.east + kTurn : area.east,
                  area.north};
    const std::unique_ptr<OGRPolygon> areaPolygon = boxPolygon(box);

    OGRMultiPolygon pieces;
    for (const strand32::LonLatRing& footprint : footprints) {
        const strand32::LonLatRing ring = strand32::continuousRing(footprint);
        if (ring.empty())
            continue;
        const Box bounds = boundsOf(ring);
        // Turns that bring a piece of the footprint into the area.
        const double first = std::ceil((box.west - bounds.east) / kTurn);
        const double last = std::floor((box.east - bounds.west) / kTurn);
        for (double turn = first; turn <= last; ++turn) {
            const Box moved{bounds.west + turn * kTurn, bounds.south, bounds.east + turn * kTurn,
                            bounds.north};
            if (!moved.meets(box))
                continue;
            addPolygons(polygonOf(ring, turn * kTurn), pieces);
        }
    }

    OGRGeometryUniquePtr covered;
    OGRGeometryUniquePtr uncovered;
    if (pieces.IsEmpty()) {
        covered.reset(new OGRPolygon());
        uncovered.reset(areaPolygon->clone());
    } else {
        const OGRGeometryUniquePtr joined(pieces.UnionCascaded());
        if (!joined)
            return std::nullopt;
        covered.reset(joined->Intersection(areaPolygon.get()));
        uncovered.reset(areaPolygon->Difference(joined.get()));
        if (!covered || !uncovered)
            return std::nullopt;
    }

    const EqualAreaMeasure measure((box.west + box.east) / 2);
    if (!measure.usable())
        return std::nullopt;
    const std::optional<double> whole = measure.squareMetres(*areaPolygon);
    const std::optional<double> part = measure.squareMetres(*covered);
    if (!whole || !part || !(*whole > 0))
        return std::nullopt;

    Coverage coverage;
    coverage.areaSquareMetres = *whole;
    coverage.coveredSquareMetres = std::min(*part, *whole);
    coverage.share = coverage.coveredSquareMetres / coverage.areaSquareMetres;
    // Gaps east of the antimeridian go back one turn.
    if (box.east <= 180.0) {
        collectPolygons(*uncovered, 0, coverage.gaps);
    } else {
        const OGRGeometryUniquePtr west(
            uncovered->Intersection(boxPolygon({box.west, box.south, 180.0, box.north}).get()));
        const OGRGeometryUniquePtr east(
            uncovered->Intersection(boxPolygon({180.0, box.south, box.east, box.north}).get()));
        if (!west || !east)
            return std::nullopt;
        collectPolygons(*west, 0, coverage.gaps);
        collectPolygons(*east, -kTurn, coverage.gaps);
    }
    return coverage;
}

} // namespace finder
