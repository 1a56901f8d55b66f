#pragma once
// What the pictures of the finder window (the *_shot programs) set up
// alike: the folder searched, the icons, message boxes told on standard
// error, and the window shown at the screen's corner with a name pattern.
#include "MainDialog.h"
#include "finder/program_startup.h"

#include <platform/message_box.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace shot {

// Before the application is made: the window looks in `folder`.
inline void prepare(const char* folder) {
    ::setenv("KAVREL_LOOK_IN", folder, 1);
    finder::prepareProcess();
}

// After it is made, before the window is: icons and message boxes.
inline void prepareApplication() {
    QIcon::setFallbackThemeName("Adwaita");
    platform::setMessageBoxPresenter([](const platform::MessageBoxRequest& box) {
        std::fprintf(stderr, "message: %s\n", box.text.c_str());
        return platform::IDOK;
    });
}

inline void show(finder::TFindMainDlg& window, const char* pattern) {
    window.move(0, 0);
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QComboBox*>("NameComboBox")->setEditText(QString::fromLocal8Bit(pattern));
}

} // namespace shot
