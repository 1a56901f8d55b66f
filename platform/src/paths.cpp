#include "platform/paths.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string envOr(const char* name, std::string fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : std::move(fallback);
}

std::string homeFolder() {
    return envOr("HOME", "/");
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// One line of user-dirs.dirs: XDG_DESKTOP_DIR="$HOME/Desktop".
std::string desktopFromUserDirs(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    constexpr std::string_view key = "XDG_DESKTOP_DIR=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = homeFolder() + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return {};
}

std::string runtimeBase() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
        ::access(runtime, W_OK) == 0)
        return runtime;
    return envOr("TMPDIR", "/tmp");
}

std::string& runtimeFolderStore() {
    static std::string folder;
    return folder;
}

struct PrefixOverride {
    std::mutex mutex;
    std::string prefix;
};

PrefixOverride& prefixOverride() {
    static PrefixOverride store;
    return store;
}

void removeRuntimeFolder() {
    // Only an emptied folder goes; files someone left behind stay for inspection.
    if (!runtimeFolderStore().empty())
        ::rmdir(runtimeFolderStore().c_str());
}

} // namespace

std::string executablePath() {
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size())
        return {};
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

std::string installPrefix() {
    if (const char* prefix = std::getenv("KAVREL_PREFIX"); prefix && *prefix)
        return prefix;
    {
        PrefixOverride& set = prefixOverride();
        std::lock_guard lock(set.mutex);
        if (!set.prefix.empty())
            return set.prefix;
    }
    const std::string exe = executablePath();
    if (exe.empty())
        return {};
    return parentOf(parentOf(exe));
}

void setInstallPrefix(std::string prefix) {
    PrefixOverride& set = prefixOverride();
    std::lock_guard lock(set.mutex);
    set.prefix = std::move(prefix);
}

std::string dataFolder() {
    return installPrefix() + "/share/kavrel";
}

std::string userDataFolder() {
    return envOr("XDG_DATA_HOME", homeFolder() + "/.local/share") + "/kavrel";
}

std::string userCacheFolder() {
    return envOr("XDG_CACHE_HOME", homeFolder() + "/.cache") + "/kavrel";
}

std::string runtimeFolder() {
    static std::once_flag once;
    std::call_once(once, [] {
        // mkdtemp: a fresh folder only this process owns, never a guessed name
        // someone else could have prepared.
        std::string pattern = runtimeBase() + "/kavrel-" + std::to_string(::getpid()) + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            runtimeFolderStore() = pattern;
            std::atexit(removeRuntimeFolder);
        }
    });
    return runtimeFolderStore();
}

std::string desktopFolder() {
    const std::string config = envOr("XDG_CONFIG_HOME", homeFolder() + "/.config");
    std::string desktop = desktopFromUserDirs(config + "/user-dirs.dirs");
    return desktop.empty() ? homeFolder() + "/Desktop" : desktop;
}

} // namespace platform
