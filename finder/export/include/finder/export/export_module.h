#pragma once
// The footprint export as the layer module (libkavrel_layers) offers it, and
// calls through it: kavrel-find starts without GDAL and PROJ and loads them
// only when it reads a file's facts or writes footprints. The table's
// functions throw nothing.
#include "finder/export/file_facts.h"
#include "finder/export/footprint_export.h"
#include "finder/found_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace finder {

struct ExportModule {
    std::uint32_t version;
    void (*fileFacts)(const char* fullPath, FileFacts& facts) noexcept;
    void (*footprintFormat)(const char* path, std::string& driver) noexcept;
    void (*exportFootprints)(const char* path, const std::vector<RowTexts>& rows,
                             FootprintExport& result) noexcept;
};

inline constexpr std::uint32_t kExportModuleVersion = 1;
inline constexpr char kExportModuleEntry[] = "kavrel_export_module";

// As fileFactsOf, footprintFormatFor and exportFootprints, through the
// module. Without the module nothing is known, no format writes, and the
// export fails with "the layer module cannot be loaded".
FileFacts moduleFileFacts(const std::string& fullPath);
std::string moduleFootprintFormat(const std::string& path);
FootprintExport moduleExportFootprints(const std::string& path, const std::vector<RowTexts>& rows);

} // namespace finder

extern "C" const finder::ExportModule* kavrel_export_module();
