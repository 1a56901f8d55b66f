// kavrel: the finder window.
#include "MainDialog.h"
#include "finder/program_startup.h"
#include "finder/search_status.h"
#include "finder/startup_settings.h"

#include <platform/message_box.h>
#include <platform/message_box_qt.h>

#include <QApplication>
#include <QIcon>
#include <string>

int main(int argc, char** argv) {
    finder::prepareProcess();
    QApplication app(argc, argv);
    platform::installQtMessageBoxPresenter();
    // Type pictures of the results list come from the desktop's icon theme;
    // outside a desktop session the common theme stands in.
    QIcon::setFallbackThemeName("Adwaita");
    return finder::runProgram(
        [&] {
            QApplication::setApplicationName("kavrel");
            QApplication::setApplicationDisplayName(QString::fromUtf8(finder::kAppTitle.data()));
            finder::TFindMainDlg window;
            window.setSavedSearchPath(
                finder::savedSearchPathFrom(finder::commandLineOf(argc, argv)));
            window.show();
            // Asked for, so that the activation work (the saved search of
            // the command line) runs also where no window manager gives
            // the new window the focus.
            window.activateWindow();
            return QApplication::exec();
        },
        [](const std::string& message) {
            platform::messageBox(nullptr, message, std::string(finder::kAppTitle),
                                 platform::MB_OK | platform::MB_ICONERROR);
        });
}
