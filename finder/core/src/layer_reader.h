#pragma once
// The facts of a data file, read through the layer module (libkavrel_layers),
// which is loaded on the first call from any thread.
#include "finder/layer_facts.h"

#include <string>

namespace finder {

// Reads the file `path` names (full, or relative to the current folder),
// with its coordinate-system keys when `withKeys`. False, with `facts`
// empty, when the name is of no layer type or the module cannot be loaded.
// Safe from any thread.
bool readLayerFacts(const std::string& path, bool withKeys, LayerFacts& facts);

} // namespace finder
