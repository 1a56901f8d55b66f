#pragma once
// "Open With" for result rows: the applications the desktop registers for a
// file's type, read from GIO's application registry (the desktop entries and
// mimeapps.list of the XDG folders), the default first; starting one of them
// with several files at once; and the desktop's own chooser of applications
// (the desktop portal's) where the session has one. No widgets.
#include <string>
#include <string_view>
#include <vector>

namespace finder {

inline constexpr std::string_view kOpenWithCaption = "Open With";
inline constexpr std::string_view kOtherApplicationCaption = "Other Application…";

struct OpenWithApplication {
    std::string id;   // the desktop entry's id ("org.gnome.Loupe.desktop")
    std::string name; // as the desktop shows it
    std::string icon; // a theme icon name or an icon file; empty when none
    bool isDefault = false;
};

// The content type of a file as the file manager tells it (by its name and,
// when that is not enough, its first bytes).
std::string contentTypeOf(const std::string& path);

// Every application registered for `contentType`: the default one first,
// then the others in the registry's order, each once.
std::vector<OpenWithApplication> applicationsFor(const std::string& contentType);

// Starts application `id` with `paths` as one launch: an application whose
// command takes several files gets them together, any other one once per
// file (GIO's rule for desktop entries). False when the application is not
// registered or could not be started.
bool openWithApplication(const std::string& id, const std::vector<std::string>& paths);

// Whether the session offers the desktop's chooser of applications.
bool desktopChooserAvailable();

// Asks the desktop's chooser to open `path`; false when it could not be asked.
bool openWithDesktopChooser(const std::string& path);

} // namespace finder
