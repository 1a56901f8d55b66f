// kavrel: the finder window. The command line names a saved search to load.
#include "MainDialog.h"
#include "finder/search_status.h"
#include "finder/startup_settings.h"

#include <platform/message_box.h>
#include <platform/message_box_qt.h>
#include <platform/paths.h>

#include <QApplication>
#include <QIcon>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

// The program's own MIME definitions (GIS file types) come first.
void addOwnMimeData() {
    std::string dirs = platform::installPrefix() + "/share";
    const char* old = std::getenv("XDG_DATA_DIRS");
    dirs += ":";
    dirs += (old && *old) ? old : "/usr/local/share:/usr/share";
    ::setenv("XDG_DATA_DIRS", dirs.c_str(), 1);
}

} // namespace

int main(int argc, char** argv) {
    const std::string savedSearch = finder::savedSearchPathFrom(finder::commandLineOf(argc, argv));
    addOwnMimeData();
    QApplication app(argc, argv);
    platform::installQtMessageBoxPresenter();
    // Type pictures of the results list come from the desktop's icon theme;
    // outside a desktop session the common theme stands in.
    QIcon::setFallbackThemeName("Adwaita");
    try {
        QApplication::setApplicationName("kavrel");
        QApplication::setApplicationDisplayName(QString::fromUtf8(finder::AppTitle.data()));
        finder::TFindMainDlg window(savedSearch);
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        platform::messageBox(nullptr, e.what(), std::string(finder::AppTitle),
                             platform::MB_OK | platform::MB_ICONERROR);
    }
    return 0;
}
