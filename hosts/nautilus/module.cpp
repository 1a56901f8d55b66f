// The three exports GNOME Files looks up in an extension module: the
// provider's type registered and listed, and the prefix this module was
// installed under named to the platform layer (the file manager's own
// program lives elsewhere), so the server and its registry hive are found.
#include "properties_provider.h"

#include "platform/paths.h"

#include <glib-object.h>

#include <dlfcn.h>

#include <filesystem>
#include <string>

extern "C" void nautilus_module_initialize(GTypeModule* module);

namespace {

GType g_providerType = 0;

// <prefix>/<extension folder>/this module: the prefix is KAVREL_MODULE_TO_PREFIX
// above the module's real folder (symbolic links followed).
std::string modulePrefix() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&nautilus_module_initialize), &info) == 0 ||
        info.dli_fname == nullptr)
        return {};
    std::error_code ec;
    const std::filesystem::path module = std::filesystem::weakly_canonical(info.dli_fname, ec);
    if (ec)
        return {};
    std::string prefix = (module.parent_path() / KAVREL_MODULE_TO_PREFIX).lexically_normal();
    if (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back(); // "a/b/.." reads as "a/"
    return prefix;
}

// Reader jobs may outlive the provider objects, so the module is never
// unmapped under them.
void stayLoaded() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&nautilus_module_initialize), &info) != 0 &&
        info.dli_fname != nullptr) {
        if (void* self = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
            dlclose(self);
    }
}

} // namespace

// Declared here rather than through nautilus-extension.h, which gives them
// no C linkage when read as C++.
extern "C" {

void nautilus_module_initialize(GTypeModule* module) {
    try {
        stayLoaded();
        platform::setInstallPrefix(modulePrefix());
        g_providerType = nautilushost::registerPropertiesProvider(module);
    } catch (...) {
        g_providerType = 0;
    }
}

void nautilus_module_shutdown(void) {}

void nautilus_module_list_types(const GType** types, int* count) {
    *types = &g_providerType;
    *count = g_providerType != 0 ? 1 : 0;
}

} // extern "C"
