// The shapefile header reader. GDAL's reader takes the extent from the box
// in the index's header and the coordinate system from the .prj text alone
// (the attribute table plays no part: missing or damaged, the layer still
// opens with the same extent), so both can be had without it: the box when
// the main file and its index are plainly valid and agree (anything less
// goes to GDAL, which then decides), the system by remembering what GDAL
// made of each .prj text. Parts are looked up as GDAL's reader does: lower
// case, then upper.
#include "shape_footprint.h"

#include <algorithm>
#include <vector>

#include "crs_memo.h"
#include "file_lookup.h"
#include "layer_source.h"
#include "regular_file.h"
#include "shape_header.h"

namespace strand32 {
namespace {

constexpr std::uint64_t kMaxPrjBytes = 64 * 1024;
constexpr std::uint64_t kMaxIndexBytes = std::uint64_t{64} << 20;
constexpr std::size_t kIndexChunk = 64 * 1024;

// A part of the shapefile, found as GDAL's reader finds it: stem + the
// lower-case extension if that names something, else the upper-case one.
struct Part {
    std::string path; // empty when neither exists
    std::optional<RegularFile> file;
    bool usable() const { return path.empty() || file.has_value(); }
};

Part partOf(const std::string& stem, const char* lower, const char* upper) {
    for (const char* ext : {lower, upper}) {
        Part part{stem + ext, std::nullopt};
        PathKind kind = PathKind::Missing;
        part.file = RegularFile::open(part.path, &kind);
        if (kind != PathKind::Missing)
            return part;
    }
    return Part{};
}

std::optional<ShapeHeader> headerOf(const RegularFile& file) {
    unsigned char bytes[kShapeHeaderSize];
    if (file.size() < kShapeHeaderSize || !file.readAt(bytes, sizeof bytes, 0))
        return std::nullopt;
    auto header = parseShapeHeader(std::span<const unsigned char, kShapeHeaderSize>(bytes));
    if (!header || header->fileBytes != file.size())
        return std::nullopt;
    return header;
}

// The main file's header repeated in the index, followed by at least one
// record, each one the shapefile reader accepts. (GDAL's reader takes the
// box and the type from the index.)
bool indexValid(const RegularFile& index, const ShapeHeader& main) {
    const auto header = headerOf(index);
    if (!header || header->shapeType != main.shapeType || header->xMin != main.xMin ||
        header->yMin != main.yMin || header->xMax != main.xMax || header->yMax != main.yMax ||
        index.size() > kMaxIndexBytes)
        return false;
    const std::uint64_t recordBytes = index.size() - kShapeHeaderSize;
    if (recordBytes == 0 || recordBytes % kShapeIndexRecordSize != 0)
        return false;
    std::vector<unsigned char> chunk(
        static_cast<std::size_t>(std::min<std::uint64_t>(recordBytes, kIndexChunk)));
    for (std::uint64_t at = kShapeHeaderSize; at < index.size();) {
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), index.size() - at));
        if (!index.readAt(chunk.data(), n, at) ||
            !shapeIndexRecordsValid(std::span<const unsigned char>(chunk.data(), n)))
            return false;
        at += n;
    }
    return true;
}

struct HeaderReading {
    LayerFootprint footprint; // extent and companions
    std::string prjKey;       // "shp", then "\1" and the .prj text when there is one
};

std::optional<HeaderReading> readHeaders(const LayerRef& layer) {
    const std::string mainFile = resolveNoCase(layer.file);
    const auto dot = mainFile.rfind('.');
    const auto slash = mainFile.rfind('/');
    if (mainFile.empty() || dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const std::string stem = mainFile.substr(0, dot);
    const std::string prefix =
        slash == std::string::npos ? std::string() : mainFile.substr(0, slash + 1);
    const Part shp = partOf(stem, ".shp", ".SHP");
    const Part shx = partOf(stem, ".shx", ".SHX");
    const Part prj = partOf(stem, ".prj", ".PRJ");
    if (!shp.file || !shx.file || !prj.usable())
        return std::nullopt;
    const auto header = headerOf(*shp.file);
    if (!header || header->fileBytes <= kShapeHeaderSize || !indexValid(*shx.file, *header))
        return std::nullopt;

    HeaderReading reading;
    reading.prjKey = "shp";
    if (prj.file) {
        const std::uint64_t size = prj.file->size();
        if (size > kMaxPrjBytes)
            return std::nullopt;
        reading.prjKey.push_back('\1');
        const std::size_t at = reading.prjKey.size();
        reading.prjKey.resize(at + size);
        if (!prj.file->readAt(reading.prjKey.data() + at, size, 0))
            return std::nullopt;
    }
    reading.footprint.extent = MaporaExtent{header->xMin, header->yMax, header->xMax, header->yMin};
    for (const std::string* path : {&shp.path, &shx.path, &prj.path}) {
        if (path->empty() || *path == mainFile)
            continue;
        reading.footprint.companions.push_back(
            path->starts_with(prefix) ? path->substr(prefix.size()) : *path);
    }
    return reading;
}

} // namespace

LayerFootprint readShapeFootprint(const LayerRef& layer) {
    auto reading = readHeaders(layer);
    if (reading) {
        if (auto crs = rememberedCrs(reading->prjKey)) {
            reading->footprint.crs = std::move(*crs);
            reading->footprint.fromHeader = true;
            return std::move(reading->footprint);
        }
    }
    LayerFootprint footprint = readFootprintWithGdal(layer);
    // Only what GDAL read from a file whose headers it read as we do is kept.
    const auto& e = footprint.extent;
    const auto& h = reading ? reading->footprint.extent : std::nullopt;
    if (e && h && e->west == h->west && e->north == h->north && e->east == h->east &&
        e->south == h->south)
        rememberCrs(reading->prjKey, footprint.crs);
    return footprint;
}

} // namespace strand32
