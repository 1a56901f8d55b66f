#include "platform/message_box_qt.h"

#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <algorithm>

namespace platform {

namespace {

QMessageBox::Icon iconOf(unsigned style) {
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton buttonOf(int answer) {
    switch (answer) {
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int showBox(const MessageBoxRequest& request) {
    QMessageBox box(iconOf(request.style), QString::fromLocal8Bit(request.title),
                    QString::fromLocal8Bit(request.text), QMessageBox::NoButton,
                    static_cast<QWidget*>(request.owner));
    const std::vector<int> answers = messageBoxButtons(request.style);
    for (const int answer : answers)
        box.addButton(buttonOf(answer));
    box.setDefaultButton(buttonOf(messageBoxDefaultAnswer(request.style)));
    // Escape and the close button answer Cancel when there is one, else the
    // box's only or default answer.
    const bool hasCancel = std::find(answers.begin(), answers.end(), IDCANCEL) != answers.end();
    box.setEscapeButton(buttonOf(hasCancel ? IDCANCEL : messageBoxDefaultAnswer(request.style)));
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const int answer : answers)
        if (buttonOf(answer) == pressed)
            return answer;
    return hasCancel ? IDCANCEL : messageBoxDefaultAnswer(request.style);
}

int presentWithQt(const MessageBoxRequest& request) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || qobject_cast<QApplication*>(app) == nullptr)
        return messageBoxToStandardError(request);
    if (QThread::currentThread() == app->thread())
        return showBox(request);
    int answer = messageBoxDefaultAnswer(request.style);
    QMetaObject::invokeMethod(
        app, [&] { answer = showBox(request); }, Qt::BlockingQueuedConnection);
    return answer;
}

} // namespace

void installQtMessageBoxPresenter() {
    setMessageBoxPresenter(presentWithQt);
}

} // namespace platform
