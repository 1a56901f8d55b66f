// A point cloud's facts: the header read through RegularFile, the system
// chosen as the format says (WKT when the 1.4 encoding flag is set, else
// the GeoTIFF keys, else a WKT record a writer added anyway).
#include "point_cloud_facts.h"

#include <algorithm>
#include <limits>

#include "container_union.h"
#include "crs_text.h"
#include "las_header.h"
#include "regular_file.h"

namespace strand32 {
namespace {

std::optional<NamedCrs> systemOf(const LasHeader& h) {
    if (h.wktFlag)
        return crsFromWkt(h.wkt);
    if (!h.geoKeys.empty())
        return crsFromGeoKeys(h.geoKeys, h.geoDoubles, h.geoAscii);
    return crsFromWkt(h.wkt);
}

} // namespace

FileFacts readPointCloudFacts(const std::string& path, LayerType kind, FactsRequest request) {
    FileFacts facts;
    facts.kind = kind;
    const auto file = RegularFile::open(path);
    if (!file) {
        facts.error = "cannot be read";
        return facts;
    }
    const LasReading reading =
        readLasHeader(file->size(), [&](std::uint64_t at, std::size_t n, unsigned char* out) {
            return file->readAt(out, n, at);
        });
    if (!reading.header) {
        facts.error = reading.error;
        return facts;
    }
    const LasHeader& h = *reading.header;
    LayerFacts layer;
    layer.geometryType = "Point";
    if (h.pointCount > 0)
        layer.extent = Extent{h.minX, h.maxY, h.maxX, h.minY};
    if (const auto crs = systemOf(h)) {
        layer.crsWkt = crs->wkt;
        layer.crsName = crs->name;
    }
    if (request.counts) {
        const auto points = static_cast<std::int64_t>(
            std::min<std::uint64_t>(h.pointCount, std::numeric_limits<std::int64_t>::max()));
        layer.counts = ObjectCounts{points, 0, 0, 0};
        facts.countsRead = true;
        facts.counts = layer.counts;
    }
    facts.layers.push_back(std::move(layer));
    uniteLayers(facts);
    return facts;
}

} // namespace strand32
