#pragma once
// Loads a GNOME Files extension module as the file manager does: a type
// module whose load opens the library, hands itself to
// nautilus_module_initialize and lists the module's types; then one object
// of each type. Loaded once per process, never unloaded.
#include "gobject_ptr.h"

#include <nautilus-extension.h>

#include <string>
#include <vector>

namespace nautilustest {

struct LoadedModule {
    std::string error; // empty when loaded
    std::vector<nautilushost::GObjectPtr<GObject>> objects;
};

// The module at `path`, loaded on the first call.
const LoadedModule& loadModule(const std::string& path);

// The first of the module's objects that provides properties models, or null.
NautilusPropertiesModelProvider* propertiesProvider(const LoadedModule& module);

} // namespace nautilustest
