#pragma once
// The desktop shortcut of a saved search: a freedesktop launcher
// "Shortcut to NAME.desktop" that starts the finder on the saved file.
#include <string>
#include <string_view>

namespace finder {

// One argument of a launcher's Exec line, quoted when it needs it and
// escaped as a desktop entry's string value ("a b" → "\"a b\"").
std::string execArgument(std::string_view argument);

// The launcher's text for the saved file `name` at `targetPath`, started by
// the program at `programPath`.
std::string shortcutEntryText(std::string_view name, std::string_view targetPath,
                              std::string_view programPath);

// The user's desktop folder: the "Desktop" value of the current user's
// Shell Folders key, else the XDG desktop folder.
std::string shortcutFolder();

// Writes the launcher into the desktop folder, executable and marked as
// trusted for the desktop's file manager; false when any step fails.
bool makeDesktopShortcut(std::string_view name, std::string_view targetPath);

} // namespace finder
