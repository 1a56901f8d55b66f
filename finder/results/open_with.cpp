// Open With through GIO: GAppInfo for the registry and the launch, the
// desktop portal's OpenURI (asking the user) for "Other Application…".
#include "results/open_with.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

namespace finder {
namespace {

struct GObjectRelease {
    void operator()(void* object) const { g_object_unref(object); }
};
template <class T> using GObjectPtr = std::unique_ptr<T, GObjectRelease>;
struct GFreeRelease {
    void operator()(void* memory) const { g_free(memory); }
};
using GText = std::unique_ptr<char, GFreeRelease>;

std::string textOf(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// A GList of objects, released with its references.
struct ObjectList {
    GList* list = nullptr;
    ~ObjectList() { g_list_free_full(list, g_object_unref); }
};

OpenWithApplication describe(GAppInfo* app, bool isDefault) {
    OpenWithApplication described{
        textOf(g_app_info_get_id(app)), textOf(g_app_info_get_display_name(app)), {}, isDefault};
    if (GIcon* icon = g_app_info_get_icon(app)) {
        if (G_IS_THEMED_ICON(icon)) {
            const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
            described.icon = textOf(names != nullptr ? names[0] : nullptr);
        } else if (G_IS_FILE_ICON(icon)) {
            const GText path(g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon))));
            described.icon = textOf(path.get());
        }
    }
    return described;
}

constexpr char kPortalName[] = "org.freedesktop.portal.Desktop";

GObjectPtr<GDBusConnection> sessionBus() {
    return GObjectPtr<GDBusConnection>(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
}

} // namespace

std::string contentTypeOf(const std::string& path) {
    const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
    const GObjectPtr<GFileInfo> info(g_file_query_info(file.get(),
                                                       G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                       G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (info) {
        if (const char* type = g_file_info_get_content_type(info.get()))
            return type;
    }
    const GText guessed(g_content_type_guess(path.c_str(), nullptr, 0, nullptr));
    return textOf(guessed.get());
}

std::vector<OpenWithApplication> applicationsFor(const std::string& contentType) {
    std::vector<OpenWithApplication> applications;
    if (contentType.empty())
        return applications;
    const GObjectPtr<GAppInfo> fallback(
        g_app_info_get_default_for_type(contentType.c_str(), FALSE));
    if (fallback)
        applications.push_back(describe(fallback.get(), true));
    const ObjectList all{g_app_info_get_all_for_type(contentType.c_str())};
    for (GList* item = all.list; item != nullptr; item = item->next) {
        GAppInfo* app = G_APP_INFO(item->data);
        if (fallback && g_app_info_equal(app, fallback.get()))
            continue;
        applications.push_back(describe(app, false));
    }
    return applications;
}

bool openWithApplication(const std::string& id, const std::vector<std::string>& paths) {
    const GObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new(id.c_str()));
    if (!app || paths.empty())
        return false;
    ObjectList files;
    for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        files.list = g_list_prepend(files.list, g_file_new_for_path(path->c_str()));
    GError* error = nullptr;
    const bool started = g_app_info_launch(G_APP_INFO(app.get()), files.list, nullptr, &error);
    g_clear_error(&error);
    return started;
}

bool desktopChooserAvailable() {
    const GObjectPtr<GDBusConnection> bus = sessionBus();
    if (!bus)
        return false;
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", kPortalName), G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
    if (reply == nullptr)
        return false;
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned != FALSE;
}

bool openWithDesktopChooser(const std::string& path) {
    const GObjectPtr<GDBusConnection> bus = sessionBus();
    const GObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
    const GText uri(g_file_get_uri(file.get()));
    if (!bus || !uri)
        return false;
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "ask", g_variant_new_boolean(TRUE));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), kPortalName, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.OpenURI",
        "OpenURI", g_variant_new("(ssa{sv})", "", uri.get(), &options), nullptr,
        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
    g_clear_error(&error);
    if (reply == nullptr)
        return false;
    g_variant_unref(reply);
    return true;
}

} // namespace finder
