// Loading the layer module: from the installation's library folder (or the
// build tree's, laid out the same), else wherever the loader finds it. It is
// never unloaded: GDAL and PROJ keep state for the life of the process.
#include "layer_reader.h"

#include "finder/layer_module.h"
#include "finder/layer_module_symbol.h"

#include <platform/paths.h>

#include <dlfcn.h>

namespace finder {
namespace {

constexpr char kModuleFile[] = "libkavrel_layers.so";

struct LoadedModule {
    void* handle = nullptr;
    std::string problem; // why it could not be loaded
};

const LoadedModule& loadedModule() {
    static const LoadedModule module = [] {
        LoadedModule loaded;
        if (const std::string prefix = platform::installPrefix(); !prefix.empty())
            loaded.handle = ::dlopen((prefix + "/" KAVREL_LIB_DIR "/" + kModuleFile).c_str(),
                                     RTLD_NOW | RTLD_LOCAL);
        if (loaded.handle == nullptr)
            loaded.handle = ::dlopen(kModuleFile, RTLD_NOW | RTLD_LOCAL);
        if (loaded.handle == nullptr) {
            const char* why = ::dlerror();
            loaded.problem = std::string("the layer module cannot be loaded") +
                             (why != nullptr ? std::string(": ") + why : std::string());
        }
        return loaded;
    }();
    return module;
}

const LayerModule* layerModule(std::string& problem) {
    static const LayerModule* const module =
        layerModuleTable<LayerModule>(kLayerModuleEntry, kLayerModuleVersion);
    if (module == nullptr)
        problem = !loadedModule().problem.empty()
                      ? loadedModule().problem
                      : std::string("the layer module is not the one this program was built with");
    return module;
}

} // namespace

void* layerModuleSymbol(const char* name) {
    void* handle = loadedModule().handle;
    return handle != nullptr ? ::dlsym(handle, name) : nullptr;
}

FactsReading readFactsThroughModule(const std::string& path, strand32::FactsRequest request) {
    FactsReading reading;
    if (const LayerModule* module = layerModule(reading.error))
        reading.read = module->readFacts(path, request, reading.facts, reading.error);
    return reading;
}

bool completeKeysThroughModule(strand32::FileFacts& facts, std::string& error) {
    const LayerModule* module = layerModule(error);
    return module != nullptr && module->completeKeys(facts, error);
}

} // namespace finder
