#pragma once
// The finder's layer module (libkavrel_layers: GDAL and PROJ) is loaded with
// dlopen on first use, so that programs start without those libraries. Other
// tables than the layer facts' (the footprint export's) are found here.
namespace finder {

// The address of `name` in the layer module, loading it on the first call
// from any thread; null when the module or the name cannot be found.
void* layerModuleSymbol(const char* name);

} // namespace finder
