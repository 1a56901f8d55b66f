// The layer module's export table: the GDAL part of the footprint export,
// the STAC catalog and the coverage, with nothing thrown across the
// module's edge.
#include "finder/export/coverage_writer.h"
#include "finder/export/export_module.h"
#include "finder/export/footprint_writer.h"
#include "finder/export/stac_facts.h"
#include "finder/module_guard.h"

namespace finder {
namespace {

void footprintFormat(const std::string& path, std::string& driver) noexcept {
    std::string error;
    if (!guarded(error, "finding a format", [&] { driver = footprintFormatFor(path); }))
        driver.clear();
}

void writeFootprints(const std::string& path, const std::vector<ExportRow>& rows,
                     FootprintExport& result) noexcept {
    std::string error;
    if (!guarded(error, "the export", [&] { result = exportFootprints(path, rows); })) {
        result = FootprintExport{};
        result.error = error;
    }
}

void writeStac(const std::string& folder, const std::vector<ExportRow>& rows,
               StacExport& result) noexcept {
    std::string error;
    if (!guarded(error, "the export", [&] { result = exportStacCatalog(folder, rows); })) {
        result = StacExport{};
        result.error = error;
    }
}

void coverArea(const MaporaExtent& area, const std::vector<ExportRow>& rows,
               const std::string& gapsPath, CoverageExport& result) noexcept {
    std::string error;
    if (!guarded(error, "computing the coverage",
                 [&] { result = exportCoverage(area, rows, gapsPath); })) {
        result = CoverageExport{};
        result.error = error;
    }
}

constexpr ExportModule kModule{kExportModuleVersion, kModuleBuildTag, &footprintFormat,
                               &writeFootprints,     &writeStac,      &coverArea};

} // namespace
} // namespace finder

extern "C" const finder::ExportModule* kavrel_export_module() {
    return &finder::kModule;
}
