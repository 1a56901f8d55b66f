#pragma once
// What the programs that draw the documentation's pictures of the finder
// window share: the window started as the program starts it (its Look-in
// folder from the environment, message boxes printed, the desktop's icon
// theme), and the screen grabbed once the window has settled.
#include "MainDialog.h"
#include "finder/program_startup.h"

#include <platform/message_box.h>

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace shot {

// Before the application: the process as the program prepares it.
inline void prepare(const char* lookIn) {
    ::setenv("KAVREL_LOOK_IN", lookIn, 1);
    finder::prepareProcess();
}

// After it: the window shown in the screen's corner.
inline void show(finder::TFindMainDlg& window) {
    QIcon::setFallbackThemeName("Adwaita");
    platform::setMessageBoxPresenter([](const platform::MessageBoxRequest& box) {
        std::fprintf(stderr, "message: %s\n", box.text.c_str());
        return platform::IDOK;
    });
    window.move(0, 0);
    window.show();
    QCoreApplication::processEvents();
}

// The window shown, its Named box holding `pattern`.
inline void show(finder::TFindMainDlg& window, const char* pattern) {
    show(window);
    window.findChild<QComboBox*>("NameComboBox")->setEditText(QString::fromLocal8Bit(pattern));
}

// Runs the application until the screen's `area()` has been saved to `out`
// `delay` ms from now; 0 when it was.
inline int saveScreenAfter(int delay, const std::function<QRect()>& area, const char* out) {
    int status = 1;
    QTimer::singleShot(delay, [&] {
        const QRect r = area();
        const QPixmap picture =
            QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
        status = picture.save(QString::fromLocal8Bit(out)) ? 0 : 1;
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}

} // namespace shot
