// The catalog's documents written to their folder, and its texts.
#include "finder/export/stac_export.h"

#include "finder/joined_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace finder {
namespace {

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return joined({"Cannot write ", path, ": ", reason});
}

} // namespace

std::string writeStacDocuments(const std::string& folder,
                               const std::vector<StacDocument>& documents) {
    namespace fs = std::filesystem;
    for (const StacDocument& document : documents) {
        const fs::path path = fs::path(folder) / document.path;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec)
            return cannotWrite(path.parent_path().string(), ec.message());
        const std::string temporary = joined({path.string(), ".tmp", std::to_string(::getpid())});
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(document.json.data(), static_cast<std::streamsize>(document.json.size()));
            out.close();
            if (!out) {
                const std::string reason = std::strerror(errno);
                fs::remove(temporary, ec);
                return cannotWrite(path.string(), reason);
            }
        }
        fs::rename(temporary, path, ec);
        if (ec) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return cannotWrite(path.string(), ec.message());
        }
    }
    return {};
}

std::string stacWrittenText(const StacExport& result, const std::string& folder) {
    std::string text =
        joined({"STAC catalog of ", std::to_string(result.items), " file(s) written to ",
                (std::filesystem::path(folder) / "catalog.json").string()});
    if (result.unplaced > 0)
        text += joined({"; ", std::to_string(result.unplaced), " of them without a known extent"});
    return text;
}

} // namespace finder
