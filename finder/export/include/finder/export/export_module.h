#pragma once
// The footprint export and the coverage of an area as the layer module
// (libkavrel_layers) offers them, and calls through it: kavrel-find starts
// without GDAL and PROJ and loads them only when it reads a file's facts or
// writes footprints. The table follows
// the rules of the module's tables (finder/layer_module.h).
#include "finder/export/coverage_export.h"
#include "finder/export/export_row.h"
#include "finder/export/footprint_export.h"
#include "finder/export/stac_export.h"
#include "finder/layer_module.h"

#include <strand32/mapora_layer.h>

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
    // The share of `area` the rows cover; the gaps go to `gapsPath` unless empty.
    void (*coverage)(const MaporaExtent& area, const std::vector<ExportRow>& rows,
                     const std::string& gapsPath, CoverageExport& result) noexcept;
};

inline constexpr std::uint32_t kExportModuleVersion = 4;
inline constexpr char kExportModuleEntry[] = "kavrel_export_module";

// As footprintFormatFor, exportFootprints, exportStacCatalog and
// exportCoverage, through the module. Without the module no format writes, and an export fails
// saying why.
std::string moduleFootprintFormat(const std::string& path);
FootprintExport moduleExportFootprints(const std::string& path, const std::vector<ExportRow>& rows);
StacExport moduleExportStacCatalog(const std::string& folder, const std::vector<ExportRow>& rows);
CoverageExport moduleExportCoverage(const MaporaExtent& area, const std::vector<ExportRow>& rows,
                                    const std::string& gapsPath);

} // namespace finder

extern "C" const finder::ExportModule* kavrel_export_module();
