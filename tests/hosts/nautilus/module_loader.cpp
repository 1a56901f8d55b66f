// The type module of the tests and the loading steps of the file manager.
#include "module_loader.h"

#include "gtype_info.h"

#include <gmodule.h>

namespace nautilustest {

namespace {

using InitializeFn = void (*)(GTypeModule*);
using ListTypesFn = void (*)(const GType**, int*);

struct TestTypeModule {
    GTypeModule parent;
    GModule* library;
    std::string* path;
    std::string* error;
    std::vector<GType>* types;
};

struct TestTypeModuleClass {
    GTypeModuleClass parent;
};

gboolean loadLibrary(GTypeModule* typeModule) {
    auto* self = reinterpret_cast<TestTypeModule*>(typeModule);
    self->library =
        g_module_open(self->path->c_str(), GModuleFlags(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL));
    if (self->library == nullptr) {
        *self->error = g_module_error();
        return FALSE;
    }
    gpointer initialize = nullptr, listTypes = nullptr, shutdown = nullptr;
    if (!g_module_symbol(self->library, "nautilus_module_initialize", &initialize) ||
        !g_module_symbol(self->library, "nautilus_module_list_types", &listTypes) ||
        !g_module_symbol(self->library, "nautilus_module_shutdown", &shutdown)) {
        *self->error = "an export of the extension interface is missing";
        return FALSE;
    }
    reinterpret_cast<InitializeFn>(initialize)(typeModule);
    const GType* types = nullptr;
    int count = 0;
    reinterpret_cast<ListTypesFn>(listTypes)(&types, &count);
    self->types->assign(types, types + count);
    return TRUE;
}

void unloadLibrary(GTypeModule*) {
    // Never reached: the module's objects keep it in use.
}

void classInit(gpointer klass, gpointer) {
    auto* moduleClass = G_TYPE_MODULE_CLASS(klass);
    moduleClass->load = loadLibrary;
    moduleClass->unload = unloadLibrary;
}

GType testTypeModuleType() {
    static const GType type = [] {
        const GTypeInfo info =
            nautilushost::plainTypeInfo<TestTypeModuleClass, TestTypeModule>(classInit);
        return g_type_register_static(G_TYPE_TYPE_MODULE, "TestTypeModule", &info, GTypeFlags(0));
    }();
    return type;
}

LoadedModule load(const std::string& path) {
    LoadedModule loaded;
    std::vector<GType> types;
    // A type module lives as long as the process, as the file manager's do.
    auto* module = static_cast<TestTypeModule*>(g_object_new(testTypeModuleType(), nullptr));
    module->path = new std::string(path);
    module->error = &loaded.error;
    module->types = &types;
    if (!g_type_module_use(G_TYPE_MODULE(module))) {
        if (loaded.error.empty())
            loaded.error = "the module did not load";
        return loaded;
    }
    for (const GType type : types)
        loaded.objects.push_back(nautilushost::GObjectPtr<GObject>::adopt(
            static_cast<GObject*>(g_object_new(type, nullptr))));
    g_type_module_unuse(G_TYPE_MODULE(module));
    module->error = nullptr;
    module->types = nullptr;
    return loaded;
}

} // namespace

const LoadedModule& loadModule(const std::string& path) {
    static const LoadedModule loaded = load(path);
    return loaded;
}

NautilusPropertiesModelProvider* propertiesProvider(const LoadedModule& module) {
    for (const auto& object : module.objects) {
        if (NAUTILUS_IS_PROPERTIES_MODEL_PROVIDER(object.get()))
            return NAUTILUS_PROPERTIES_MODEL_PROVIDER(object.get());
    }
    return nullptr;
}

} // namespace nautilustest
