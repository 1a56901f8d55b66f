// The layer module's export table: the GDAL part of the footprint export,
// with nothing thrown across the module's edge.
#include "finder/export/export_module.h"
#include "finder/export/footprint_writer.h"

namespace finder {
namespace {

void fileFacts(const char* fullPath, FileFacts& facts) noexcept {
    try {
        facts = fileFactsOf(fullPath);
    } catch (...) {
        facts = FileFacts{};
    }
}

void footprintFormat(const char* path, std::string& driver) noexcept {
    try {
        driver = footprintFormatFor(path);
    } catch (...) {
        driver.clear();
    }
}

void writeFootprints(const char* path, const std::vector<RowTexts>& rows,
                     FootprintExport& result) noexcept {
    try {
        result = exportFootprints(path, rows);
    } catch (const std::exception& e) {
        result = FootprintExport{};
        result.error = e.what();
    } catch (...) {
        result = FootprintExport{};
        result.error = "the export failed";
    }
}

constexpr ExportModule kModule{kExportModuleVersion, &fileFacts, &footprintFormat,
                               &writeFootprints};

} // namespace
} // namespace finder

extern "C" const finder::ExportModule* kavrel_export_module() {
    return &finder::kModule;
}
