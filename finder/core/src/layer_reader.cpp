// Loading the layer module: from the installation's library folder (or the
// build tree's, laid out the same), else wherever the loader finds it. It is
// never unloaded: GDAL and PROJ keep state for the life of the process.
#include "layer_reader.h"

#include "finder/layer_module_symbol.h"

#include <platform/paths.h>

#include <dlfcn.h>

namespace finder {
namespace {

constexpr char kModuleFile[] = "libkavrel_layers.so";

void* loadModule() {
    void* handle = nullptr;
    if (const std::string prefix = platform::installPrefix(); !prefix.empty())
        handle = ::dlopen((prefix + "/" KAVREL_LIB_DIR "/" + kModuleFile).c_str(),
                          RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        handle = ::dlopen(kModuleFile, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

void* moduleHandle() {
    static void* const handle = loadModule();
    return handle;
}

const LayerModule* layerModule() {
    static const LayerModule* const module = [] {
        const auto* table = layerModuleTable<LayerModule>(kLayerModuleEntry, kLayerModuleVersion);
        return table != nullptr && table->readFacts != nullptr ? table : nullptr;
    }();
    return module;
}

} // namespace

void* layerModuleSymbol(const char* name) {
    void* handle = moduleHandle();
    return handle != nullptr ? ::dlsym(handle, name) : nullptr;
}

bool readLayerFacts(const std::string& path, bool withKeys, LayerFacts& facts) {
    const LayerModule* module = layerModule();
    if (module == nullptr) {
        facts = LayerFacts{};
        return false;
    }
    return module->readFacts(path.c_str(), withKeys, facts);
}

} // namespace finder
