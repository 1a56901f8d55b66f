// The About box shows the program's title and version and returns when the
// user closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>

#include "sorrel32/about.h"

namespace {

// Closes the About box once it is up, remembering what it showed.
struct BoxReader {
    QString title;
    QString text;
    void closeSoon() {
        QTimer::singleShot(50, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible() && box->objectName() == "KVRDialogAbout") {
                    title = box->windowTitle();
                    text = box->text();
                    box->accept();
                    return;
                }
            }
            closeSoon(); // not shown yet
        });
    }
};

} // namespace

TEST(About, shows_title_and_version_and_closes) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "about_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    BoxReader reader;
    reader.closeSoon();
    EXPECT_EQ(KVRDialogAbout("Atlion Find", "Version 1.6"), 1);
    EXPECT_EQ(reader.title, "About Atlion Find");
    EXPECT_TRUE(reader.text.contains("Atlion Find"));
    EXPECT_TRUE(reader.text.contains("Version 1.6"));
    // Markup in the texts is shown as text.
    reader.closeSoon();
    EXPECT_EQ(KVRDialogAbout("<i>A&B</i>", nullptr), 1);
    EXPECT_TRUE(reader.text.contains("&lt;i&gt;A&amp;B&lt;/i&gt;"));
}

TEST(About, console_application_cannot_show_it) {
    int argc = 1;
    char name[] = "about_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    EXPECT_EQ(KVRDialogAbout("Atlion Find", "Version 1.6"), 0);
}
