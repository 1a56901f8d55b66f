// get_models of the provider: the file's type and path, the pages read as
// velmora-props reads them, the models made, and Count started on a worker.
#include "properties_provider.h"

#include "gis_types.h"
#include "gtype_info.h"
#include "object_counter.h"
#include "page_models.h"
#include "page_texts.h"

#include <nautilus-extension.h>

#include <dlfcn.h>

#include <optional>
#include <string>
#include <vector>

namespace nautilushost {

namespace {

struct VelmoraPropertiesProvider {
    GObject parent;
};

struct VelmoraPropertiesProviderClass {
    GObjectClass parent;
};

enum { kPropCountsPending = 1 };

// The full path of one file of a registered type; nothing for a folder, a
// file of another type or one that has no local path.
std::optional<std::string> registeredFilePath(NautilusFileInfo* file) {
    bool registered = false;
    for (const char* type : kGisMimeTypes)
        registered = registered || nautilus_file_info_is_mime_type(file, type);
    if (!registered || nautilus_file_info_is_directory(file))
        return std::nullopt;
    const auto location = GObjectPtr<GFile>::adopt(nautilus_file_info_get_location(file));
    char* path = location ? g_file_get_path(location.get()) : nullptr;
    if (path == nullptr)
        return std::nullopt;
    std::string result(path);
    g_free(path);
    return result;
}

// The server stays loaded once it has been: GDAL and PROJ, which it brings,
// are not made to be unloaded and loaded again within one process, and a
// worker may still be counting when a sheet is closed.
void keepServerLoaded(const std::string& serverPath) {
    if (void* handle = dlopen(serverPath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
        dlclose(handle);
}

GList* buildModels(GList* files) {
    std::vector<std::string> paths;
    for (GList* item = files; item != nullptr; item = item->next) {
        const auto path = registeredFilePath(NAUTILUS_FILE_INFO(item->data));
        if (!path)
            return nullptr;
        paths.push_back(*path);
    }
    if (paths.empty())
        return nullptr;
    const std::string serverPath = velmorahost::defaultServerPath();
    keepServerLoaded(serverPath);
    std::string error;
    const auto pages = velmorahost::readSheet(serverPath, paths, false, error);
    if (!pages) {
        g_debug("velmora: no pages for %s: %s", paths.front().c_str(), error.c_str());
        return nullptr;
    }
    std::vector<GObjectPtr<NautilusPropertiesModel>> models;
    std::vector<CountTarget> counted;
    std::vector<GObjectPtr<GListStore>> stores;
    for (std::size_t i = 0; i < pages->size(); ++i) {
        const velmorahost::PageTexts& page = (*pages)[i];
        stores.push_back(itemStore(page.rows));
        models.push_back(pageModel(page.title, stores.back().get()));
        if (page.hasButtons)
            counted.push_back({i, stores.back().get()});
    }
    if (!counted.empty())
        startCounting(serverPath, paths.front(), counted);
    GList* list = nullptr;
    for (auto& model : models)
        list = g_list_append(list, model.release());
    return list;
}

GList* getModels(NautilusPropertiesModelProvider*, GList* files) {
    try {
        return buildModels(files);
    } catch (...) {
        return nullptr; // no pages rather than an exception into the file manager
    }
}

void getProperty(GObject* object, guint id, GValue* value, GParamSpec* property) {
    if (id == kPropCountsPending)
        g_value_set_int(value, countsPending());
    else
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
}

void classInit(gpointer klass, gpointer) {
    GObjectClass* objectClass = G_OBJECT_CLASS(klass);
    objectClass->get_property = getProperty;
    g_object_class_install_property(
        objectClass, kPropCountsPending,
        g_param_spec_int(kCountsPendingProperty, nullptr, nullptr, 0, G_MAXINT, 0,
                         GParamFlags(G_PARAM_READABLE | G_PARAM_STATIC_STRINGS)));
}

void interfaceInit(gpointer iface, gpointer) {
    static_cast<NautilusPropertiesModelProviderInterface*>(iface)->get_models = getModels;
}

} // namespace

GType registerPropertiesProvider(GTypeModule* module) {
    const GTypeInfo info =
        nautilushost::plainTypeInfo<VelmoraPropertiesProviderClass, VelmoraPropertiesProvider>(
            classInit);
    const GType type = g_type_module_register_type(
        module, G_TYPE_OBJECT, "VelmoraPropertiesProvider", &info, GTypeFlags(0));
    if (type == 0)
        return 0;
    const GInterfaceInfo provider = {interfaceInit, nullptr, nullptr};
    g_type_module_add_interface(module, type, NAUTILUS_TYPE_PROPERTIES_MODEL_PROVIDER, &provider);
    return type;
}

} // namespace nautilushost
