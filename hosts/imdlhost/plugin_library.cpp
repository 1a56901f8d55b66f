#include "plugin_library.h"

#include "platform/paths.h"

#include <dlfcn.h>

namespace imdlhost {

PluginLibrary::~PluginLibrary() {
    if (handle_)
        dlclose(handle_);
}

bool PluginLibrary::load(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = dlerror();
        error_ = why ? why : "cannot load " + path;
        return false;
    }
    bool complete = true;
    auto resolve = [&](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(dlsym(handle_, name));
        if (!slot) {
            error_ = path + ": export " + name + " missing";
            complete = false;
        }
    };
    resolve(exports_.getVer, "IMDLget_ver");
    resolve(exports_.verifyImg, "IMDLverify_img");
    resolve(exports_.initImage, "IMDLinit_image");
    resolve(exports_.open, "IMDLopen");
    resolve(exports_.buildDibHead, "IMDLbuildDIBhead");
    resolve(exports_.setRow, "IMDLset_row");
    resolve(exports_.readRows, "IMDLread_rows");
    resolve(exports_.imgName, "IMDLimg_name");
    resolve(exports_.closeKeep, "IMDLclose_keep");
    resolve(exports_.closeImage, "IMDLclose_image");
    resolve(exports_.errorString, "IMDLerror_string");
    resolve(exports_.setExt, "IMDLset_ext");
    resolve(exports_.escape, "IMDLescape");
    resolve(exports_.print, "IMDLprint");
    resolve(exports_.render, "IMDLrender");
    return complete;
}

std::string PluginLibrary::errorText() const {
    char text[256] = {};
    if (exports_.errorString)
        exports_.errorString(reinterpret_cast<std::uintptr_t>(text), sizeof text);
    return text;
}

std::string defaultPluginPath() {
    const std::string exe = platform::executablePath();
    const auto slash = exe.find_last_of('/');
    const std::string bin = slash == std::string::npos ? "." : exe.substr(0, slash);
    return bin + "/../" KAVREL_LIB_DIR "/librastrel.so";
}

} // namespace imdlhost
