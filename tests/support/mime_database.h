#pragma once
// GIO's content types as a desktop sees them once the project is installed:
// the build tree's MIME database (the GIS types of ours) ahead of the
// system's. The variable is set before GIO first reads the database.
#include <gio/gio.h>

#include <cstdlib>
#include <string>

namespace testsupport {

inline void useBuildMimeDatabase() {
    static const bool once = [] {
        const char* old = std::getenv("XDG_DATA_DIRS");
        const std::string dirs = std::string(KAVREL_BUILD_DIR) +
                                 "/share:" + (old && *old ? old : "/usr/local/share:/usr/share");
        ::setenv("XDG_DATA_DIRS", dirs.c_str(), 1);
        return true;
    }();
    (void)once;
}

// The content type GIO reads from the file (name and bytes); from the name
// alone when the file cannot be read.
inline std::string contentTypeOf(GFile* file) {
    useBuildMimeDatabase();
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    std::string type;
    if (info != nullptr) {
        if (const char* found = g_file_info_get_content_type(info))
            type = found;
        g_object_unref(info);
    }
    if (type.empty()) {
        char* name = g_file_get_basename(file);
        char* guessed = g_content_type_guess(name, nullptr, 0, nullptr);
        type = guessed ? guessed : "";
        g_free(guessed);
        g_free(name);
    }
    return type;
}

inline std::string contentTypeOf(const std::string& path) {
    GFile* file = g_file_new_for_path(path.c_str());
    std::string type = contentTypeOf(file);
    g_object_unref(file);
    return type;
}

} // namespace testsupport
