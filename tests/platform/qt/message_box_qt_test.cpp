#include "platform/message_box.h"
#include "platform/message_box_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace platform;

struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the next box that opens by pressing `press`, and records it.
void answerNextBox(QMessageBox::StandardButton press, Seen& seen) {
    QTimer::singleShot(0, [press, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons.push_back(box->standardButton(b));
        seen.defaultButton = box->standardButton(box->defaultButton());
        box->button(press)->click();
    });
}

class message_box_qt : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "message_box_qt_test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        installQtMessageBoxPresenter();
    }
    static void TearDownTestSuite() {
        setMessageBoxPresenter({});
        delete app;
    }
    static inline QApplication* app = nullptr;
};

TEST_F(message_box_qt, shows_the_title_text_icon_and_buttons_and_returns_the_pressed_one) {
    const struct {
        unsigned style;
        QMessageBox::StandardButton press;
        int answer;
        QMessageBox::Icon icon;
        int buttons;
        QMessageBox::StandardButton defaultButton;
    } cases[] = {
        {MB_OK | MB_ICONERROR, QMessageBox::Ok, IDOK, QMessageBox::Critical, 1, QMessageBox::Ok},
        {MB_YESNOCANCEL | MB_ICONQUESTION, QMessageBox::No, IDNO, QMessageBox::Question, 3,
         QMessageBox::Yes},
        {MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, QMessageBox::Cancel, IDCANCEL,
         QMessageBox::Warning, 2, QMessageBox::Cancel},
        {MB_YESNO | MB_ICONINFORMATION, QMessageBox::Yes, IDYES, QMessageBox::Information, 2,
         QMessageBox::Yes},
    };
    for (const auto& c : cases) {
        Seen seen;
        answerNextBox(c.press, seen);
        EXPECT_EQ(messageBox(nullptr, "3 file(s) found", "Atlion Find", c.style), c.answer);
        EXPECT_EQ(seen.title, "Atlion Find");
        EXPECT_EQ(seen.text, "3 file(s) found");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons.size(), c.buttons);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
    }
}

TEST_F(message_box_qt, a_box_asked_for_by_a_worker_thread_shows_on_the_window_thread) {
    Seen seen;
    int answer = 0;
    std::thread worker([&] {
        answer = messageBox(nullptr, "The maximum number of files has been exceeded.",
                            "Atlion Find", MB_OK);
        QMetaObject::invokeMethod(
            app, [] { QApplication::quit(); }, Qt::QueuedConnection);
    });
    // The worker's request arrives through the event loop; answer it there.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.text = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start(5);
    QApplication::exec();
    worker.join();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(seen.text, "The maximum number of files has been exceeded.");
}

} // namespace
