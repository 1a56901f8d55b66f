#pragma once
// The property-page server as a file manager loads it: a shared library
// opened by path with its two exports looked up by name.
#include "velmora/velmora.h"

#include <string>

namespace velmorahost {

class ServerLibrary {
public:
    ServerLibrary() = default;
    ~ServerLibrary();
    ServerLibrary(const ServerLibrary&) = delete;
    ServerLibrary& operator=(const ServerLibrary&) = delete;

    // Loads the library and resolves both exports; false with a message in
    // error() when the library or an export is missing.
    bool load(const std::string& path);
    void unload();
    bool loaded() const { return handle_ != nullptr; }

    velmora::DllGetClassObjectFn getClassObject = nullptr;
    velmora::DllCanUnloadNowFn canUnloadNow = nullptr;
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

// The installed server: <prefix>/<library folder>/libvelmora.so.
std::string defaultServerPath();

} // namespace velmorahost
