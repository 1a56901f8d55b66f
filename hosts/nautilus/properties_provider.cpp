// get_models of the provider: the file's type and path, the models made at
// once with every value waiting, and the reader started that fills them.
#include "properties_provider.h"

#include "gis_types.h"
#include "gtype_info.h"
#include "page_models.h"
#include "reader_command.h"
#include "reader_job.h"
#include "reader_texts.h"

#include "platform/paths.h"
#include "strand32/layer.h"
#include "thimble32/cregistry.h"
#include "velmora/page_layout.h"

#include <nautilus-extension.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

enum { kPropReadersRunning = 1 };

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

// The folder of datora.dat when the registry names one that holds it: the
// server can start. Only the registry and the file's presence are looked at.
std::optional<std::string> databaseFolder() {
    char folder[260] = {};
    CRegistry registry;
    if (registry.GetDatoraDatPath(folder, sizeof folder) != thimble32::kRegistrySuccess)
        return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::string(folder) + "/datora.dat", ec))
        return std::nullopt;
    return std::string(folder);
}

// bwrap where the system has it: the reader then runs in its sandbox.
const std::string& bwrapPath() {
    static const std::string path = [] {
        char* found = g_find_program_in_path("bwrap");
        std::string result = found ? found : "";
        g_free(found);
        return result;
    }();
    return path;
}

unsigned readerLimitMs() {
    // Test hook: a shorter limit, so that an overrun can be seen quickly.
    if (const char* ms = std::getenv("KAVREL_READER_TEST_LIMIT_MS"))
        return static_cast<unsigned>(std::strtoul(ms, nullptr, 10));
    return kReaderLimitMs;
}

struct PageLayout {
    const char* title;
    std::vector<std::string> labels;
    bool opened, counted; // filled by the answer as opened, after Count
    const char* absent;
};

// The pages the server gives: Geography and Spatial Objects, and for a
// container (a kind that may hold several layers) Layers, known by name
// only: its layers are listed once the reader has read it.
std::vector<PageLayout> pageLayouts(const std::string& path) {
    std::vector<PageLayout> layouts = {
        {velmora::kGeoTitle,
         {velmora::kGeoLabels.begin(), velmora::kGeoLabels.end()},
         true,
         false,
         ""},
        {velmora::kObjectTitle,
         {velmora::kObjectLabels.begin(), velmora::kObjectLabels.end()},
         false,
         true,
         ""}};
    if (strand32::isContainerKind(strand32::layerTypeOf(path)))
        layouts.push_back(
            {velmora::kLayerTitle, {velmora::kLayerHeading}, true, true, kOneLayerText});
    return layouts;
}

// One registered file: its pages, every value "Reading...", filled by a
// reader process. Several files: no pages, as the server gives none.
GList* buildModels(GList* files) {
    if (files == nullptr || files->next != nullptr)
        return nullptr;
    const auto path = registeredFilePath(NAUTILUS_FILE_INFO(files->data));
    if (!path)
        return nullptr;
    const std::string prefix = platform::installPrefix();
    const std::string reader = prefix + "/" KAVREL_LIB_DIR "/velmora-reader";
    const auto database = databaseFolder();
    if (!database || ::access(reader.c_str(), X_OK) != 0)
        return nullptr;
    std::vector<GObjectPtr<NautilusPropertiesModel>> models;
    std::vector<GObjectPtr<GListStore>> stores;
    std::vector<ReaderTarget> targets;
    for (const PageLayout& layout : pageLayouts(*path)) {
        stores.push_back(itemStore(rowsWithValue(layout.labels, kReadingText)));
        models.push_back(pageModel(layout.title, stores.back().get()));
        targets.push_back(
            {stores.back().get(), layout.title, layout.opened, layout.counted, layout.absent});
    }
    std::vector<std::string> readOnly = readerPaths(prefix, *path);
    readOnly.push_back(*database);
    startReader(readerCommand(reader, *path, bwrapPath(), readOnly), targets, readerLimitMs());
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
    if (id == kPropReadersRunning)
        g_value_set_int(value, readersRunning());
    else
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
}

void classInit(gpointer klass, gpointer) {
    GObjectClass* objectClass = G_OBJECT_CLASS(klass);
    objectClass->get_property = getProperty;
    g_object_class_install_property(
        objectClass, kPropReadersRunning,
        g_param_spec_int(kReadersRunningProperty, nullptr, nullptr, 0, G_MAXINT, 0,
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
