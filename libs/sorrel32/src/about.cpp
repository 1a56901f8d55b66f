// The About box, shown with Qt.
#include "sorrel32/about.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <memory>

namespace {

QString textOf(const char* s) {
    return s ? QString::fromLocal8Bit(s) : QString();
}

} // namespace

extern "C" int KVRDialogAbout(const char* title, const char* version) {
    try {
        std::unique_ptr<QApplication> ownApp;
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "sorrel32";
            static char* argv[] = {name, nullptr};
            ownApp = std::make_unique<QApplication>(argc, argv);
        } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
            return 0; // a console application cannot show windows
        }
        const QString product = textOf(title);
        QMessageBox box(QMessageBox::Information, QStringLiteral("About %1").arg(product),
                        QStringLiteral("<b>%1</b><br>%2")
                            .arg(product.toHtmlEscaped(), textOf(version).toHtmlEscaped()),
                        QMessageBox::Ok, QApplication::activeWindow());
        box.setObjectName(QStringLiteral("KVRDialogAbout"));
        box.setTextFormat(Qt::RichText);
        box.exec();
        return 1;
    } catch (...) {
        return 0;
    }
}
