// Draws docs/catalogue.png: the finder window during a repeat search of a
// folder, its list filled from the catalogue and its status line saying the
// rows are being checked. The search is held there (the hold file of the
// catalogue's tests) while the window is grabbed. Run on an X server
// (scripts/screenshot-catalogue.sh starts Xvfb, with a cache of its own).
//   kavrel-catalogue-shot FOLDER PATTERN HOLD-FILE OUT.png
#include "finder/search_status.h"
#include "results/result_list.h"
#include "window_shot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace {

// Runs the event loop until `done` holds, for at most a minute.
bool waitUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s FOLDER PATTERN HOLD-FILE OUT.png\n", argv[0]);
        return 2;
    }
    const char* hold = argv[3];
    ::unsetenv("KAVREL_CATALOGUE_TEST_HOLD");
    shot::prepare(argv[1]);
    QApplication app(argc, argv);
    finder::TFindMainDlg window;
    shot::show(window, argv[2]);
    auto* find = window.findChild<QPushButton*>("FindNowButton");
    // The first search walks the folder and fills the catalogue.
    find->click();
    if (!waitUntil([&] { return !window.searchRunning(); })) {
        std::fprintf(stderr, "the first search did not end\n");
        return 1;
    }
    // The second one shows the catalogue's rows, then holds while it checks.
    std::ofstream{hold};
    ::setenv("KAVREL_CATALOGUE_TEST_HOLD", hold, 1);
    find->click();
    const auto checking = [&] {
        return window.statusBar()->currentMessage().startsWith(QString::fromUtf8(
            finder::kCheckingPrefix.data(), static_cast<int>(finder::kCheckingPrefix.size())));
    };
    if (!waitUntil(checking)) {
        std::fprintf(stderr, "no rows from the catalogue; the status line says: %s\n",
                     window.statusBar()->currentMessage().toLocal8Bit().constData());
        ::unlink(hold);
        return 1;
    }
    // Time for the list to draw its rows.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 800)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const int rows = window.findChild<finder::ResultList*>("ResultList")->rowCount();
    const bool saved = checking() && window.grab().save(QString::fromLocal8Bit(argv[4]));
    ::unlink(hold);
    waitUntil([&] { return !window.searchRunning(); });
    std::fprintf(stderr, "%d row(s) from the catalogue\n", rows);
    return saved ? 0 : 1;
}
