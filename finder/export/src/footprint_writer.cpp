// The footprint layer: one polygon feature per file with a known extent,
// with its row texts and keys.
#include "finder/export/footprint_writer.h"

#include "vector_output.h"

#include "finder/export/footprint_ring.h"

#include <quill32/identify.h>

namespace finder {
namespace {

strand32::GeometryPtr polygonOf(const FootprintRing& ring) {
    strand32::GeometryPtr polygon(OGR_G_CreateGeometry(wkbPolygon));
    OGRGeometryH line = OGR_G_CreateGeometry(wkbLinearRing);
    for (const LonLat& p : ring)
        OGR_G_AddPoint_2D(line, p.lon, p.lat);
    OGR_G_AddGeometryDirectly(polygon.get(), line);
    return polygon;
}

// The five row texts, then the four keys when known.
std::vector<std::string> fieldValues(const RowTexts& row, const strand32::FileFacts& facts) {
    std::vector<std::string> values = {row.name, row.folder, row.size, row.type, row.modified};
    if (facts.keys)
        for (const auto* key :
             {&facts.keys->group, &facts.keys->system, &facts.keys->datum, &facts.keys->units})
            values.push_back(keyText(*key));
    return values;
}

// The facts a row carries, with the keys named from its system (no file
// opened); a row without facts is read now.
strand32::FileFacts factsWithKeys(const ExportRow& row) {
    strand32::FileFacts facts = factsOfRow(row, true);
    if (!facts.keysRead) {
        CoordSysKeys keys{};
        if (!facts.crsWkt.empty() && quill32::identifyCoordSys(facts.crsWkt, keys))
            facts.keys = keys;
        facts.keysRead = true;
    }
    return facts;
}

} // namespace

strand32::FileFacts factsOfRow(const ExportRow& row, bool keys) {
    return row.facts ? *row.facts : strand32::readFileFacts(row.path, {.keys = keys});
}

std::string footprintFormatFor(const std::string& path) {
    GDALDriverH driver = vectorDriverFor(path);
    return driver ? GDALGetDriverShortName(driver) : std::string();
}

FootprintExport exportFootprints(const std::string& path, const std::vector<ExportRow>& rows) {
    FootprintExport result;
    VectorOutput output(
        path, std::vector<const char*>(std::begin(kFootprintFields), std::end(kFootprintFields)),
        wkbPolygon);
    FootprintMaker maker;
    for (const ExportRow& row : rows) {
        if (!output.error().empty())
            break;
        const strand32::FileFacts facts = factsWithKeys(row);
        const std::optional<FootprintRing> ring = maker.ring(facts);
        if (!ring)
            ++result.leftOut;
        else if (output.add(polygonOf(*ring), fieldValues(row.texts, facts)))
            ++result.written;
    }
    result.error = output.finish();
    return result;
}

} // namespace finder
