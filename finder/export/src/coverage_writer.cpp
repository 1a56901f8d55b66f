// Coverage of an area by result rows: their rings made from the facts they
// carry, the share measured, the gaps written as a vector layer.
#include "finder/export/coverage_writer.h"

#include "vector_output.h"

#include "finder/export/coverage.h"
#include "finder/export/footprint_ring.h"
#include "finder/export/footprint_writer.h"

namespace finder {

std::vector<strand32::LonLatRing> footprintRings(const std::vector<ExportRow>& rows) {
    std::vector<strand32::LonLatRing> rings;
    FootprintMaker maker;
    for (const ExportRow& row : rows)
        if (const std::optional<FootprintRing> ring = maker.ring(factsOfRow(row, false)))
            rings.push_back(lonLatRingOf(*ring));
    return rings;
}

std::string writeLonLatPolygons(const std::string& path,
                                const std::vector<strand32::LonLatPolygon>& polygons) {
    VectorOutput output(path, {}, wkbPolygon);
    for (const strand32::LonLatPolygon& rings : polygons) {
        strand32::GeometryPtr polygon(OGR_G_CreateGeometry(wkbPolygon));
        for (const strand32::LonLatRing& ring : rings) {
            OGRGeometryH line = OGR_G_CreateGeometry(wkbLinearRing);
            for (const MaporaPoint& p : ring)
                OGR_G_AddPoint_2D(line, p.x, p.y);
            OGR_G_AddGeometryDirectly(polygon.get(), line);
        }
        if (!output.add(std::move(polygon), {}))
            break;
    }
    return output.finish();
}

CoverageExport exportCoverage(const MaporaExtent& area, const std::vector<ExportRow>& rows,
                              const std::string& gapsPath) {
    CoverageExport result;
    const std::optional<Coverage> coverage = areaCoverage(area, footprintRings(rows));
    if (!coverage) {
        result.error = kNoCoverageText;
        return result;
    }
    result.share = coverage->share;
    if (!gapsPath.empty()) {
        result.error = writeLonLatPolygons(gapsPath, coverage->gaps);
        if (result.error.empty())
            result.gaps = coverage->gaps.size();
    }
    return result;
}

} // namespace finder
