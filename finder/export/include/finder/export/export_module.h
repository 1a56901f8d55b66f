#pragma once
// The footprint export as the layer module (libkavrel_layers) offers it, and
// calls through it: kavrel-find starts without GDAL and PROJ and loads them
// only when it reads a file's facts or writes footprints. The table follows
// the rules of the module's tables (finder/layer_module.h).
#include "finder/export/export_row.h"
#include "finder/export/footprint_export.h"
#include "finder/export/stac_export.h"
#include "finder/layer_module.h"

#include <cstdint>
#include <string>
#include <vector>

namespace finder {

struct ExportModule {
    std::uint32_t version;
    const char* buildTag;
    void (*footprintFormat)(const std::string& path, std::string& driver) noexcept;
    void (*exportFootprints)(const std::string& path, const std::vector<ExportRow>& rows,
                             FootprintExport& result) noexcept;
    void (*exportStac)(const std::string& folder, const std::vector<ExportRow>& rows,
                       StacExport& result) noexcept;
};

inline constexpr std::uint32_t kExportModuleVersion = 3;
inline constexpr char kExportModuleEntry[] = "kavrel_export_module";

// As footprintFormatFor, exportFootprints and exportStacCatalog, through the
// module. Without the module no format writes, and an export fails saying why.
std::string moduleFootprintFormat(const std::string& path);
FootprintExport moduleExportFootprints(const std::string& path, const std::vector<ExportRow>& rows);
StacExport moduleExportStacCatalog(const std::string& folder, const std::vector<ExportRow>& rows);

} // namespace finder

extern "C" const finder::ExportModule* kavrel_export_module();
