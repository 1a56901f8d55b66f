#pragma once
// The finder's layer module (libkavrel_layers: GDAL and PROJ) is loaded with
// dlopen on first use, so that programs start without those libraries. Its
// tables (the facts', the footprint export's) are found here.
#include "finder/layer_module.h"

#include <cstdint>

namespace finder {

// The address of `name` in the layer module, loading it on the first call
// from any thread; null when the module or the name cannot be found.
void* layerModuleSymbol(const char* name);

// The table the module's C entry point `entry` gives, when its version and
// build tag are this program's; null otherwise.
template <class Table> const Table* layerModuleTable(const char* entry, std::uint32_t version) {
    using Entry = const Table* (*)();
    const auto get = reinterpret_cast<Entry>(layerModuleSymbol(entry));
    const Table* table = get ? get() : nullptr;
    return isOwnTable(table, version) ? table : nullptr;
}

} // namespace finder
