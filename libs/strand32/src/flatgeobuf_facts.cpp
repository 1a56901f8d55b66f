// FlatGeobuf's header turned into facts: the system chosen as GDAL's driver
// chooses it (an EPSG code, or another authority's code, else the WKT).
#include "flatgeobuf_facts.h"

#include <cmath>
#include <strings.h>

#include "container_union.h"
#include "crs_text.h"
#include "fgb_header.h"
#include "geometry_names.h"
#include "regular_file.h"

namespace strand32 {
namespace {

// Outer none: GDAL must be asked; inner none: no system.
std::optional<std::optional<NamedCrs>> systemOf(const FgbHeader& h) {
    if (!h.hasCrs)
        return std::optional<NamedCrs>();
    if (strncasecmp(h.crsWkt.c_str(), "COORDINATEMETADATA[", 19) == 0)
        return std::nullopt;
    std::optional<NamedCrs> crs;
    if (h.crsCode != 0 &&
        (h.crsOrganization.empty() || strcasecmp(h.crsOrganization.c_str(), "EPSG") == 0))
        crs = crsFromCode("EPSG", h.crsCode);
    else if (h.crsCode != 0)
        crs = crsFromCode(h.crsOrganization, h.crsCode);
    if (!crs && !h.crsWkt.empty())
        crs = crsFromWkt(h.crsWkt);
    if (!crs && (h.crsCode != 0 || !h.crsWkt.empty()))
        return std::nullopt; // stated but not understood here
    return crs;
}

} // namespace

std::optional<FileFacts> readFlatGeobufFacts(const std::string& path) {
    const auto file = RegularFile::open(path);
    if (!file)
        return std::nullopt;
    const auto header =
        readFgbHeader(file->size(), [&](std::uint64_t at, std::size_t n, unsigned char* out) {
            return file->readAt(out, n, at);
        });
    if (!header || header->envelope.size() != 4)
        return std::nullopt;
    const auto& e = header->envelope;
    for (double v : e) {
        if (!std::isfinite(v))
            return std::nullopt;
    }
    if (!(e[0] <= e[2] && e[1] <= e[3]))
        return std::nullopt;
    const auto crs = systemOf(*header);
    if (!crs)
        return std::nullopt;
    FileFacts facts;
    facts.kind = LayerType::FlatGeobuf;
    LayerFacts layer;
    layer.name = header->name;
    layer.geometryType = geometryTypeName(OGR_GT_SetModifier(
        static_cast<OGRwkbGeometryType>(header->geometryType), header->hasZ, header->hasM));
    layer.extent = Extent{e[0], e[3], e[2], e[1]};
    if (*crs) {
        layer.crsWkt = (*crs)->wkt;
        layer.crsName = (*crs)->name;
    }
    facts.layers.push_back(std::move(layer));
    uniteLayers(facts);
    return facts;
}

} // namespace strand32
