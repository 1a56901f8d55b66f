// Calls into the layer module's table for the catalog, found once.
#include "finder/export/stac_export.h"
#include "finder/layer_module_symbol.h"

namespace finder {

StacExport moduleExportStacCatalog(const std::string& folder, const std::vector<RowTexts>& rows) {
    static const StacModule* const module =
        layerModuleTable<StacModule>(kStacModuleEntry, kStacModuleVersion);
    StacExport result;
    if (module != nullptr)
        module->exportCatalog(folder.c_str(), rows, result);
    else
        result.error = "the layer module cannot be loaded";
    return result;
}

} // namespace finder
