// Desktop launchers for saved searches, written as the desktop entry format
// asks: string values escaped, Exec arguments quoted.
#include "finder/desktop_shortcut.h"

#include <platform/file_write.h>
#include <platform/paths.h>
#include <platform/registry.h>
#include <platform/spawn.h>

#include <cstdlib>
#include <cstring>

namespace finder {
namespace {

constexpr std::string_view kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kShortcutPrefix = "Shortcut to ";

// A string value: backslash, newline, tab and return escaped; a leading or
// trailing blank as \s so readers that trim keep it.
std::string escapeValue(std::string_view text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else if (c == '\r')
            value += "\\r";
        else if (c == ' ' && (i == 0 || i + 1 == text.size()))
            value += "\\s";
        else
            value += c;
    }
    return value;
}

} // namespace

std::string execArgument(std::string_view argument) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string quoted;
    const bool quote =
        argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    if (quote)
        quoted += '"';
    for (const char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            quoted += '\\';
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    if (quote)
        quoted += '"';
    // The quoting rule applies inside the string value, whose own escapes
    // come on top (a backslash becomes four).
    std::string value;
    for (const char c : quoted)
        value += c == '\\'   ? std::string("\\\\")
                 : c == '\n' ? std::string("\\n")
                             : std::string(1, c);
    return value;
}

std::string shortcutEntryText(std::string_view name, std::string_view targetPath,
                              std::string_view programPath) {
    const std::string title = std::string(kShortcutPrefix) + std::string(name);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           escapeValue(title) +
           "\n"
           "Comment=" +
           escapeValue(title + " ") +
           "\n"
           "Exec=" +
           execArgument(programPath) + " " + execArgument(targetPath) +
           "\n"
           "Icon=edit-find\n"
           "Terminal=false\n";
}

std::string shortcutFolder() {
    platform::RegistryKey key;
    char folder[260] = {};
    std::uint32_t size = sizeof folder;
    std::uint32_t type = 0;
    if (key.open(platform::Hive::CurrentUser, kShellFoldersKey, platform::RegAccess::Query) ==
            platform::ERROR_SUCCESS &&
        key.queryValue("Desktop", &type, folder, &size) == platform::ERROR_SUCCESS &&
        type == platform::REG_SZ && strnlen(folder, sizeof folder) > 0 &&
        strnlen(folder, sizeof folder) < sizeof folder)
        return folder;
    return platform::desktopFolder();
}

bool makeDesktopShortcut(std::string_view name, std::string_view targetPath) {
    const std::string program = platform::executablePath();
    const std::string folder = shortcutFolder();
    if (program.empty() || folder.empty())
        return false;
    const std::string path =
        folder + "/" + std::string(kShortcutPrefix) + std::string(name) + ".desktop";
    // Executable: file managers start only launchers their owner may run.
    if (platform::writeFileAtomically(path, shortcutEntryText(name, targetPath, program),
                                      platform::newFileMode() | 0111) != 0)
        return false;
    // GNOME asks in addition that the launcher be marked trusted; that goes
    // through the session's metadata store, so only within a session.
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        platform::spawnProgram(
            {"/usr/bin/gio", "set", "-t", "string", path, "metadata::trusted", "true"});
    return true;
}

} // namespace finder
