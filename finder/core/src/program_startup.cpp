#include "finder/program_startup.h"

#include "finder/settings_registry.h"

#include <platform/paths.h>

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

void saveOptions(std::uint32_t options) {
    CSettingsRegistry registry;
    registry.SetOptions(kProductSubkey, options);
    registry.Close();
}

bool loadFootprintCacheSetting() {
    CSettingsRegistry registry;
    std::uint32_t value = 1;
    registry.GetFootprintCache(kProductSubkey, value);
    registry.Close();
    return value != 0;
}

void saveFootprintCacheSetting(bool use) {
    CSettingsRegistry registry;
    registry.SetFootprintCache(kProductSubkey, use ? 1 : 0);
    registry.Close();
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
