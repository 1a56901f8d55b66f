// The catalog's facts of each result row, gathered where the JSON rows and
// the footprints gather theirs, and the catalog written with them.
#include "finder/export/stac_facts.h"

#include <strand32/gdal_support.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace finder {
namespace {

using strand32::SrsPtr;

// The EPSG code that names the system exactly (its own authority, else
// the one match PROJ is sure of), else its WKT2 text.
void nameSystem(const std::string& definition, StacFile& file) {
    if (definition.empty())
        return;
    strand32::ensureGdal();
    SrsPtr srs(OSRNewSpatialReference(nullptr));
    if (OSRSetFromUserInput(srs.get(), definition.c_str()) != OGRERR_NONE)
        return;
    const auto epsgOf = [](OGRSpatialReferenceH h) -> std::optional<int> {
        const char* name = OSRGetAuthorityName(h, nullptr);
        const char* code = OSRGetAuthorityCode(h, nullptr);
        if (name == nullptr || code == nullptr || std::strcmp(name, "EPSG") != 0)
            return std::nullopt;
        return std::atoi(code);
    };
    file.epsg = epsgOf(srs.get());
    if (!file.epsg) {
        int count = 0;
        int* confidence = nullptr;
        OGRSpatialReferenceH* matches = OSRFindMatches(srs.get(), nullptr, &count, &confidence);
        if (count > 0 && confidence[0] == 100)
            file.epsg = epsgOf(matches[0]);
        OSRFreeSRSArray(matches);
        CPLFree(confidence);
    }
    if (!file.epsg)
        file.wkt2 = strand32::wktOf(srs.get());
}

} // namespace

StacFile stacFileOf(const ExportRow& row, FootprintMaker& maker) {
    StacFile file;
    file.path = row.path;
    file.mediaType = stacMediaType(row.path);
    struct stat st {};
    if (row.size && row.modified) {
        file.size = *row.size;
        file.modified =
            std::chrono::floor<std::chrono::seconds>(row.modified->time_since_epoch()).count();
    } else if (::stat(row.path.c_str(), &st) == 0) {
        file.size = static_cast<std::uint64_t>(st.st_size);
        file.modified = st.st_mtim.tv_sec;
    }
    const strand32::FileFacts facts =
        row.facts ? *row.facts : strand32::readFileFacts(row.path, {});
    if (const std::optional<FootprintRing> ring = maker.ring(facts))
        for (const LonLat& p : *ring)
            file.footprint.push_back({p.lon, p.lat});
    if (const auto& e = facts.extent)
        file.ownBox = StacBox{e->west, e->south, e->east, e->north};
    nameSystem(facts.crsWkt, file);
    return file;
}

StacExport exportStacCatalog(const std::string& folder, const std::vector<ExportRow>& rows) {
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(folder, ec).lexically_normal().string();
    if (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    std::vector<StacFile> files;
    FootprintMaker maker;
    StacExport result;
    for (const ExportRow& row : rows) {
        files.push_back(stacFileOf(row, maker));
        result.unplaced += files.back().footprint.empty() ? 1 : 0;
    }
    result.error = writeStacDocuments(absolute, stacCatalog(files, absolute));
    result.items = result.error.empty() ? files.size() : 0;
    return result;
}

} // namespace finder
