#include "finder/program_startup.h"

#include "finder/settings_registry.h"

#include <platform/paths.h>
#include <platform/registry.h>

#include <clocale>
#include <cstdlib>
#include <exception>

namespace finder {

void prepareProcess(const std::string& prefix) {
    const std::string own = prefix + "/share";
    const char* old = std::getenv("XDG_DATA_DIRS");
    const std::string rest = (old && *old) ? old : "/usr/local/share:/usr/share";
    if (rest == own || rest.rfind(own + ":", 0) == 0)
        return;
    ::setenv("XDG_DATA_DIRS", (own + ":" + rest).c_str(), 1);
}

void prepareProcess() {
    // Texts are the user's: saved searches cut them on characters of the
    // locale's encoding (the window's toolkit sets the whole locale itself).
    std::setlocale(LC_CTYPE, "");
    prepareProcess(platform::installPrefix());
}

StartupSettings loadStartupSettings() {
    CSettingsRegistry registry;
    return readStartupSettings(registry);
}

std::string settingWriteProblem(std::string_view name, std::uint32_t code) {
    if (code == CSettingsRegistry::Success || code == platform::ERROR_FILE_NOT_FOUND)
        return {};
    std::string reason;
    switch (static_cast<long>(code)) {
    case platform::ERROR_ACCESS_DENIED:
        reason = "access is denied";
        break;
    case platform::ERROR_BADDB:
        reason = "the file cannot be read as settings, so it is left as it is";
        break;
    case platform::ERROR_OUTOFMEMORY:
        reason = "out of memory";
        break;
    default:
        reason = "the file cannot be written (error " + std::to_string(code) + ")";
    }
    return "The setting \"" + std::string(name) + "\" could not be saved in " +
           platform::hivePath(platform::Hive::CurrentUser) + ": " + reason;
}

std::string saveOptions(std::uint32_t options) {
    CSettingsRegistry registry;
    const std::uint32_t code = registry.SetOptions(kProductSubkey, options);
    registry.Close();
    return settingWriteProblem("Options", code);
}

bool loadFootprintCacheSetting() {
    CSettingsRegistry registry;
    std::uint32_t value = 1;
    registry.GetFootprintCache(kProductSubkey, value);
    registry.Close();
    return value != 0;
}

std::string saveFootprintCacheSetting(bool use) {
    CSettingsRegistry registry;
    const std::uint32_t code = registry.SetFootprintCache(kProductSubkey, use ? 1 : 0);
    registry.Close();
    return settingWriteProblem("UseFootprintCache", code);
}

int runProgram(const std::function<int()>& body,
               const std::function<void(const std::string& message)>& report) {
    try {
        return body();
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("unknown error");
    }
    return 1;
}

} // namespace finder
