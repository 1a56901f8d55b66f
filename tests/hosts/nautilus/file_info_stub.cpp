// The NautilusFileInfo of the tests: only what an extension asks of a file
// it is given for its properties.
#include "file_info_stub.h"

#include "gtype_info.h"
#include "mime_database.h"

namespace nautilustest {

namespace {

struct StubFileInfo {
    GObject parent;
    GFile* location;
    char* contentType;
    GFileType fileType;
};

struct StubFileInfoClass {
    GObjectClass parent;
};

StubFileInfo* stub(NautilusFileInfo* file) {
    return reinterpret_cast<StubFileInfo*>(file);
}

char* getName(NautilusFileInfo* file) {
    return g_file_get_basename(stub(file)->location);
}

char* getUri(NautilusFileInfo* file) {
    return g_file_get_uri(stub(file)->location);
}

char* getMimeType(NautilusFileInfo* file) {
    return g_content_type_get_mime_type(stub(file)->contentType);
}

gboolean isMimeType(NautilusFileInfo* file, const char* type) {
    return g_content_type_is_mime_type(stub(file)->contentType, type);
}

gboolean isDirectory(NautilusFileInfo* file) {
    return stub(file)->fileType == G_FILE_TYPE_DIRECTORY;
}

GFileType getFileType(NautilusFileInfo* file) {
    return stub(file)->fileType;
}

GFile* getLocation(NautilusFileInfo* file) {
    return G_FILE(g_object_ref(stub(file)->location));
}

void finalize(GObject* object) {
    auto* self = reinterpret_cast<StubFileInfo*>(object);
    g_clear_object(&self->location);
    g_free(self->contentType);
    G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

void classInit(gpointer klass, gpointer) {
    G_OBJECT_CLASS(klass)->finalize = finalize;
}

void interfaceInit(gpointer iface, gpointer) {
    auto* file = static_cast<NautilusFileInfoInterface*>(iface);
    file->get_name = getName;
    file->get_uri = getUri;
    file->get_mime_type = getMimeType;
    file->is_mime_type = isMimeType;
    file->is_directory = isDirectory;
    file->get_file_type = getFileType;
    file->get_location = getLocation;
}

GType stubType() {
    static const GType type = [] {
        const GTypeInfo info =
            nautilushost::plainTypeInfo<StubFileInfoClass, StubFileInfo>(classInit);
        const GType registered =
            g_type_register_static(G_TYPE_OBJECT, "StubFileInfo", &info, GTypeFlags(0));
        const GInterfaceInfo fileInfo = {interfaceInit, nullptr, nullptr};
        g_type_add_interface_static(registered, NAUTILUS_TYPE_FILE_INFO, &fileInfo);
        return registered;
    }();
    return type;
}

} // namespace

nautilushost::GObjectPtr<NautilusFileInfo> fileInfo(const std::string& pathOrUri) {
    auto* self = static_cast<StubFileInfo*>(g_object_new(stubType(), nullptr));
    self->location = g_file_new_for_commandline_arg(pathOrUri.c_str());
    self->contentType = g_strdup(testsupport::contentTypeOf(self->location).c_str());
    self->fileType = g_file_query_file_type(self->location, G_FILE_QUERY_INFO_NONE, nullptr);
    return nautilushost::GObjectPtr<NautilusFileInfo>::adopt(NAUTILUS_FILE_INFO(self));
}

} // namespace nautilustest
