#pragma once
// A loaded image-filter plug-in and its exports, looked up by name.
#include "rastrel/imdl.h"

#include <string>

namespace imdlhost {

struct PluginExports {
    decltype(&IMDLget_ver) getVer = nullptr;
    decltype(&IMDLverify_img) verifyImg = nullptr;
    decltype(&IMDLinit_image) initImage = nullptr;
    decltype(&IMDLopen) open = nullptr;
    decltype(&IMDLbuildDIBhead) buildDibHead = nullptr;
    decltype(&IMDLset_row) setRow = nullptr;
    decltype(&IMDLread_rows) readRows = nullptr;
    decltype(&IMDLimg_name) imgName = nullptr;
    decltype(&IMDLclose_keep) closeKeep = nullptr;
    decltype(&IMDLclose_image) closeImage = nullptr;
    decltype(&IMDLerror_string) errorString = nullptr;
    decltype(&IMDLset_ext) setExt = nullptr;
    decltype(&IMDLescape) escape = nullptr;
    decltype(&IMDLprint) print = nullptr;
    decltype(&IMDLrender) render = nullptr;
};

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library and resolves every export; false with a message in
    // error() when the library or one of its exports is missing.
    bool load(const std::string& path);
    const PluginExports& exports() const { return exports_; }
    const std::string& error() const { return error_; }

    // The text of IMDLerror_string for the calling thread.
    std::string errorText() const;

private:
    void* handle_ = nullptr;
    PluginExports exports_;
    std::string error_;
};

// The installed plug-in: librastrel.so in the library folder beside the
// program's bin folder.
std::string defaultPluginPath();

} // namespace imdlhost
