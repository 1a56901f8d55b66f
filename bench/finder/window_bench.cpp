// Times one search of the finder window: the rows are handed to the window's
// thread one by one, as in the program. Prints the rows found and the time
// from Find Now to the end of the search.
//   kavrel-window-bench FOLDER PATTERN
#include "MainDialog.h"
#include "finder/program_startup.h"

#include <platform/message_box.h>

#include "results/result_list.h"
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER PATTERN\n", argv[0]);
        return 2;
    }
    ::setenv("KAVREL_LOOK_IN", argv[1], 1);
    finder::prepareProcess();
    QApplication app(argc, argv);
    platform::setMessageBoxPresenter([](const platform::MessageBoxRequest& box) {
        std::fprintf(stderr, "message: %s\n", box.text.c_str());
        return platform::IDOK;
    });
    finder::TFindMainDlg window;
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QComboBox*>("NameComboBox")->setEditText(QString::fromLocal8Bit(argv[2]));

    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>("FindNowButton")->click();
    while (window.searchRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const int rows = window.findChild<finder::ResultList*>("ResultList")->rowCount();
    std::printf("%d %.3f\n", rows, seconds);
    return 0;
}
