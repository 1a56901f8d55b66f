// The shapefile header reader. GDAL's reader takes the extent from the box
// in the .shp header and the coordinate system from the .prj text alone, so
// both can be had without it: the box when the main file, its index and its
// attribute table are plainly valid (anything less goes to GDAL, which then
// decides), the system by remembering what GDAL made of each .prj text.
// Companions are looked up as GDAL's reader does: lower case, then upper.
#include "shape_footprint.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "file_lookup.h"
#include "layer_source.h"
#include "regular_file.h"
#include "shape_header.h"

namespace strand32 {
namespace {

constexpr std::uint64_t kMaxPrjBytes = 64 * 1024;
constexpr std::uint64_t kMaxIndexBytes = std::uint64_t{64} << 20;
constexpr std::size_t kIndexChunk = 64 * 1024;
constexpr std::size_t kMemoLimit = 256;

// The coordinate system GDAL made of each .prj text met ("" when there was
// no .prj, "\1" and the text when there was one).
class PrjMemo {
public:
    std::optional<std::optional<LayerCrs>> find(const std::string& key) {
        const std::lock_guard lock(mutex_);
        const auto it = systems_.find(key);
        if (it == systems_.end())
            return std::nullopt;
        return it->second;
    }
    void remember(const std::string& key, const std::optional<LayerCrs>& crs) {
        const std::lock_guard lock(mutex_);
        if (systems_.size() >= kMemoLimit)
            systems_.clear();
        systems_.insert_or_assign(key, crs);
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::string, std::optional<LayerCrs>> systems_;
};

PrjMemo& prjMemo() {
    static PrjMemo memo;
    return memo;
}

// stem + the lower-case extension if that names something, else stem + the
// upper-case one; an empty path when neither exists. Nothing when the one
// found is not a regular file.
std::optional<std::string> companionOf(const std::string& stem, const char* lower,
                                       const char* upper) {
    for (const char* ext : {lower, upper}) {
        std::string path = stem + ext;
        switch (pathKind(path)) {
        case PathKind::Missing:
            continue;
        case PathKind::Regular:
            return path;
        case PathKind::Other:
            return std::nullopt;
        }
    }
    return std::string();
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

// At least one record, each one the shapefile reader accepts.
bool indexValid(const RegularFile& index, std::int32_t shapeType) {
    const auto header = headerOf(index);
    if (!header || header->shapeType != shapeType || index.size() > kMaxIndexBytes)
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

// A dBASE header with room for its fields and records of some length.
bool attributesPlausible(const RegularFile& table) {
    unsigned char header[32];
    if (table.size() < sizeof header || !table.readAt(header, sizeof header, 0))
        return false;
    const unsigned headerLength = header[8] | unsigned{header[9]} << 8;
    const unsigned recordLength = header[10] | unsigned{header[11]} << 8;
    return headerLength > sizeof header && headerLength <= table.size() && recordLength > 0;
}

struct HeaderReading {
    LayerFootprint footprint; // extent and companions
    std::string prjKey;
};

std::optional<HeaderReading> readHeaders(const LayerDescriptor& layer) {
    const std::string mainFile = resolveNoCase(slotText(layer, 0));
    const auto dot = mainFile.rfind('.');
    const auto slash = mainFile.rfind('/');
    if (mainFile.empty() || dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const std::string stem = mainFile.substr(0, dot);
    const std::string prefix =
        slash == std::string::npos ? std::string() : mainFile.substr(0, slash + 1);
    const auto shpPath = companionOf(stem, ".shp", ".SHP");
    const auto shxPath = companionOf(stem, ".shx", ".SHX");
    const auto dbfPath = companionOf(stem, ".dbf", ".DBF");
    const auto prjPath = companionOf(stem, ".prj", ".PRJ");
    if (!shpPath || !shxPath || !dbfPath || !prjPath || shpPath->empty() || shxPath->empty() ||
        dbfPath->empty())
        return std::nullopt;
    const auto shp = RegularFile::open(*shpPath);
    const auto shx = RegularFile::open(*shxPath);
    const auto dbf = RegularFile::open(*dbfPath);
    if (!shp || !shx || !dbf)
        return std::nullopt;
    const auto header = headerOf(*shp);
    if (!header || header->fileBytes <= kShapeHeaderSize || !indexValid(*shx, header->shapeType) ||
        !attributesPlausible(*dbf))
        return std::nullopt;

    HeaderReading reading;
    if (!prjPath->empty()) {
        const auto prj = RegularFile::open(*prjPath);
        if (!prj || prj->size() > kMaxPrjBytes)
            return std::nullopt;
        reading.prjKey.assign(1, '\1');
        reading.prjKey.resize(1 + prj->size());
        if (!prj->readAt(reading.prjKey.data() + 1, prj->size(), 0))
            return std::nullopt;
    }
    reading.footprint.extent = MaporaExtent{header->xMin, header->yMax, header->xMax, header->yMin};
    for (const std::string* path : {&*shpPath, &*shxPath, &*dbfPath, &*prjPath}) {
        if (path->empty() || *path == mainFile)
            continue;
        reading.footprint.companions.push_back(
            path->starts_with(prefix) ? path->substr(prefix.size()) : *path);
    }
    return reading;
}

} // namespace

LayerFootprint readShapeFootprint(const LayerDescriptor& layer) {
    auto reading = readHeaders(layer);
    if (reading) {
        if (auto crs = prjMemo().find(reading->prjKey)) {
            reading->footprint.crs = std::move(*crs);
            return std::move(reading->footprint);
        }
    }
    LayerFootprint footprint = readFootprintWithGdal(layer);
    // Only what GDAL read from a file the headers call valid is kept.
    if (reading && footprint.extent)
        prjMemo().remember(reading->prjKey, footprint.crs);
    return footprint;
}

} // namespace strand32
