#pragma once
// The finder's layer module (libkavrel_layers: GDAL and PROJ) as the finder
// sees it. The finder loads the module only when a search first reads a
// file, so that a search that reads none starts without those libraries.
// The module's C entry points give tables of C++ functions whose arguments
// are standard-library types: both sides are built together by this
// project's build, with one compiler and one standard library, and a table
// is taken only when its version and build tag are the caller's own.
// Nothing thrown crosses a table's functions.
#include <strand32/file_facts.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace finder {

// Compiler, its version and the standard library's ABI: what both sides of
// a table must share for its std:: arguments to mean the same.
#define KAVREL_STRINGIFY2(x) #x
#define KAVREL_STRINGIFY(x) KAVREL_STRINGIFY2(x)
inline constexpr char kModuleBuildTag[] =
    __VERSION__ " abi " KAVREL_STRINGIFY(_GLIBCXX_USE_CXX11_ABI) " std " KAVREL_STRINGIFY(
        __cplusplus);

struct LayerModule {
    std::uint32_t version;
    const char* buildTag;
    // Reads the file `path` names (full, or below a folder's descriptor).
    // True when it was read (what it told, if anything, is in `facts`);
    // false when the reading itself failed, with the reason in `error`.
    bool (*readFacts)(const std::string& path, const strand32::FactsRequest& request,
                      strand32::FileFacts& facts, std::string& error) noexcept;
    // Fills the keys of facts read without them, from the systems they name
    // (no file is opened). False, with the reason, when that failed.
    bool (*completeKeys)(strand32::FileFacts& facts, std::string& error) noexcept;
};

inline constexpr std::uint32_t kLayerModuleVersion = 3;
inline constexpr char kLayerModuleEntry[] = "kavrel_layer_module";

// A table is the caller's when its version and build tag are.
template <class Table> bool isOwnTable(const Table* table, std::uint32_t version) {
    return table != nullptr && table->version == version &&
           std::strcmp(table->buildTag, kModuleBuildTag) == 0;
}

} // namespace finder

extern "C" const finder::LayerModule* kavrel_layer_module();
