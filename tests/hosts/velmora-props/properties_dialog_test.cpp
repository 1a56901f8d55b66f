// The Qt Properties dialog of velmora-props, driven in this process: its
// tabs are the server's pages and its Count button updates them.
#include "hive_env.h"
#include "properties_dialog.h"
#include "property_session.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace {

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";

} // namespace

TEST(velmora_props_dialog, tabs_show_the_pages_and_count_updates_them) {
    int argc = 1;
    char name[] = "velmora_props_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    testsupport::HiveEnv hives{testsupport::databaseHive(KAVREL_DATA_DIR)};
    velmorahost::PropertySession session(VELMORA_LIBRARY);
    ASSERT_TRUE(session.open({kSamples + "world/cities.mif"})) << session.error();
    velmorahost::PropertiesDialog dialog(session, "cities.mif");
    EXPECT_EQ(dialog.windowTitle(), "cities.mif Properties");
    ASSERT_EQ(dialog.tabs()->count(), 2);
    EXPECT_EQ(dialog.tabs()->tabText(0), "Geography");
    EXPECT_EQ(dialog.tabs()->tabText(1), "Spatial Objects");
    const auto text = [&](const char* control) {
        const auto* label = dialog.findChild<QLabel*>(control);
        return label ? label->text() : QString("<none>");
    };
    EXPECT_EQ(text("control1002"), "LAT-LONG");
    EXPECT_EQ(text("control1005"), "Not counted");
    auto* count = dialog.findChild<QPushButton*>("control1010");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text(), "Count");
    count->click();
    EXPECT_EQ(text("control1005"), "243");
    EXPECT_EQ(text("control1009"), "243");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // the wait cursor is gone again
}
