// Calls into the layer module's export table, found once.
#include "finder/export/export_module.h"
#include "finder/layer_module_symbol.h"

namespace finder {
namespace {

const ExportModule* exportModule() {
    static const ExportModule* const module =
        layerModuleTable<ExportModule>(kExportModuleEntry, kExportModuleVersion);
    return module;
}

} // namespace

std::string moduleFootprintFormat(const std::string& path) {
    std::string driver;
    if (const ExportModule* module = exportModule())
        module->footprintFormat(path, driver);
    return driver;
}

FootprintExport moduleExportFootprints(const std::string& path,
                                       const std::vector<ExportRow>& rows) {
    FootprintExport result;
    if (const ExportModule* module = exportModule())
        module->exportFootprints(path, rows, result);
    else
        result.error = "the layer module cannot be loaded";
    return result;
}

StacExport moduleExportStacCatalog(const std::string& folder, const std::vector<ExportRow>& rows) {
    StacExport result;
    if (const ExportModule* module = exportModule())
        module->exportStac(folder, rows, result);
    else
        result.error = "the layer module cannot be loaded";
    return result;
}

CoverageExport moduleExportCoverage(const MaporaExtent& area, const std::vector<ExportRow>& rows,
                                    const std::string& gapsPath) {
    CoverageExport result;
    if (const ExportModule* module = exportModule())
        module->coverage(area, rows, gapsPath, result);
    else
        result.error = "the layer module cannot be loaded";
    return result;
}

} // namespace finder
