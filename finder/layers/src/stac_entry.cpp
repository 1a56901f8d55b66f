// The layer module's table for the STAC catalog: the part that reads the
// files' facts, with nothing thrown across the module's edge.
#include "finder/export/stac_facts.h"

namespace finder {
namespace {

void exportCatalog(const char* folder, const std::vector<RowTexts>& rows,
                   StacExport& result) noexcept {
    try {
        result = exportStacCatalog(folder, rows);
    } catch (const std::exception& e) {
        result = StacExport{};
        result.error = e.what();
    } catch (...) {
        result = StacExport{};
        result.error = "the export failed";
    }
}

constexpr StacModule kStacModule{kStacModuleVersion, &exportCatalog};

} // namespace
} // namespace finder

extern "C" const finder::StacModule* kavrel_stac_module() {
    return &finder::kStacModule;
}
