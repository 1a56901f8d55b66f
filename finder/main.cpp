// kavrel [SAVED-SEARCH]: the finder window; --help and --version answer
// without opening it.
#include "MainDialog.h"
#include "finder/program_startup.h"
#include "finder/search_status.h"
#include "finder/startup_settings.h"
#include "kavrel/version.h"
#include "window_texts.h"

#include <platform/message_box.h>
#include <platform/message_box_qt.h>

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <string>

namespace {

constexpr char kUsage[] = R"usage(Usage: kavrel [SAVED-SEARCH]
Opens the Atlion Find window, which finds geographic data files by name,
date, size, coordinate system and the area they cover. With SAVED-SEARCH (a
.wqs file of File > Save Search) the window opens with that search and its
rows. kavrel-find runs the same search without a window.

  --help                 show this text
  --version              show the program's name and version
)usage";

} // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "--version") {
        if (first == "--help")
            std::fputs(kUsage, stdout);
        else
            std::printf("kavrel %s\n", kavrel::kVersion);
        return 0;
    }
    finder::prepareProcess();
    QApplication app(argc, argv);
    platform::installQtMessageBoxPresenter();
    // Type pictures of the results list come from the desktop's icon theme;
    // outside a desktop session the common theme stands in.
    QIcon::setFallbackThemeName("Adwaita");
    return finder::runProgram(
        [&] {
            QApplication::setApplicationName("kavrel");
            QApplication::setApplicationVersion(kavrel::kVersion);
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
