// Loading the server with dlopen and looking up its exports.
#include "server_library.h"

#include "platform/paths.h"

#include <dlfcn.h>

namespace velmorahost {

ServerLibrary::~ServerLibrary() {
    unload();
}

bool ServerLibrary::load(const std::string& path) {
    unload();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = why ? why : "cannot load " + path;
        return false;
    }
    getClassObject =
        reinterpret_cast<velmora::DllGetClassObjectFn>(dlsym(handle_, "DllGetClassObject"));
    canUnloadNow = reinterpret_cast<velmora::DllCanUnloadNowFn>(dlsym(handle_, "DllCanUnloadNow"));
    if (getClassObject == nullptr || canUnloadNow == nullptr) {
        error_ = path + ": export DllGetClassObject or DllCanUnloadNow missing";
        unload();
        return false;
    }
    return true;
}

void ServerLibrary::unload() {
    if (handle_ != nullptr)
        dlclose(handle_);
    handle_ = nullptr;
    getClassObject = nullptr;
    canUnloadNow = nullptr;
}

std::string defaultServerPath() {
    return platform::installPrefix() + "/" KAVREL_LIB_DIR "/libvelmora.so";
}

} // namespace velmorahost
