// Open With against GIO's real registry, laid out in temporary XDG folders
// before anything asks it: applications listed for a type with the default
// first and their icons, several files handed over together where the
// command takes several and one by one where it does not, and the popup's
// submenu built from the same registry.
#include "results/open_with.h"
#include "results/result_menu.h"

#include "companion_env.h"
#include "temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using finder::OpenWithApplication;
using testsupport::TempDir;

constexpr char kShapeType[] = "application/x-esri-shape";

// The registry: "Viewer One" takes several files (%F), "Viewer Two" one (%f)
// and is the default; "Notes" is for text only. Each records its command
// lines, one per start, in "starts.log".
class Registry : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string recorder = companiontest::writeScriptText(
            home, "bin/record",
            "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/starts.log\"\n");
        icon = home.writeFile("icons/one.png", "");
        const auto entry = [&](const char* id, const char* name, const char* exec, const char* type,
                               const std::string& iconKey) {
            home.writeFile(std::string("data/applications/") + id,
                           std::string("[Desktop Entry]\nType=Application\nName=") + name +
                               "\nExec=" + recorder + " " + exec + "\nMimeType=" + type +
                               ";\nIcon=" + iconKey + "\n");
        };
        entry("viewer-one.desktop", "Viewer One", "one %F", kShapeType, icon);
        entry("viewer-two.desktop", "Viewer Two", "two %f", kShapeType, "document-open");
        entry("notes.desktop", "Notes", "notes %f", "text/plain", "accessories-text-editor");
        // The index of types to applications, as an install's trigger writes it.
        const std::string index = "update-desktop-database '" + home / "data/applications" + "'";
        ASSERT_EQ(std::system(index.c_str()), 0);
        home.writeFile("config/mimeapps.list", std::string("[Default Applications]\n") +
                                                   kShapeType + "=viewer-two.desktop\n");
        ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        // The build tree's MIME types (the GIS types of ours) and the system's.
        ::setenv("XDG_DATA_DIRS", (std::string(KAVREL_BUILD_DIR) + "/share:/usr/share").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
        static int argc = 1;
        static char name[] = "finder_open_with_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }

    // The command lines recorded once `count` starts have written theirs, sorted.
    std::vector<std::string> starts(std::size_t count) const {
        std::vector<std::string> lines;
        for (int wait = 0; wait < 200; ++wait) {
            lines.clear();
            std::istringstream text(TempDir::readFile(home / "bin/starts.log"));
            for (std::string line; std::getline(text, line);)
                lines.push_back(line);
            if (lines.size() >= count)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    void forgetStarts() const { std::filesystem::remove(home / "bin/starts.log"); }

    TempDir home;
    std::string icon;
    std::unique_ptr<QApplication> app;
};

Registry* const registry =
    static_cast<Registry*>(::testing::AddGlobalTestEnvironment(new Registry));

TEST(OpenWith, lists_the_types_applications_default_first_with_their_icons) {
    const std::string shapefile = std::string(KAVREL_DATA_DIR) + "/samples/world/countries.shp";
    EXPECT_EQ(finder::contentTypeOf(shapefile), kShapeType);
    const struct {
        const char* type;
        std::vector<std::string> names; // "*" marks the default
    } cases[] = {
        {kShapeType, {"Viewer Two*", "Viewer One"}},
        {"application/x-no-such-type", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        for (const OpenWithApplication& app : finder::applicationsFor(c.type))
            names.push_back(app.name + (app.isDefault ? "*" : ""));
        EXPECT_EQ(names, c.names) << c.type;
    }
    const auto apps = finder::applicationsFor(kShapeType);
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].icon, "document-open");
    EXPECT_EQ(apps[1].icon, registry->icon);
    EXPECT_EQ(apps[1].id, "viewer-one.desktop");
}

TEST(OpenWith, several_files_go_together_only_to_a_command_that_takes_several) {
    const std::vector<std::string> files = {"/maps/a.shp", "/maps/b c.shp"};
    const struct {
        const char* id;
        std::vector<std::string> starts;
    } cases[] = {
        {"viewer-one.desktop", {"one /maps/a.shp /maps/b c.shp"}},
        {"viewer-two.desktop", {"two /maps/a.shp", "two /maps/b c.shp"}},
    };
    for (const auto& c : cases) {
        registry->forgetStarts();
        ASSERT_TRUE(finder::openWithApplication(c.id, files)) << c.id;
        EXPECT_EQ(registry->starts(c.starts.size()), c.starts) << c.id;
    }
    EXPECT_FALSE(finder::openWithApplication("no-such.desktop", files));
    EXPECT_FALSE(finder::openWithApplication("viewer-one.desktop", {}));
}

TEST(OpenWith, the_popup_offers_the_first_files_type_and_opens_the_files_of_that_type) {
    TempDir tree;
    const std::string samples = std::string(KAVREL_DATA_DIR) + "/samples/world";
    const std::vector<finder::RowTexts> rows = {{"countries.shp", samples, "", "", ""},
                                                {"notes.txt", tree.str(), "", "", ""},
                                                {"cities.shp", samples, "", "", ""}};
    tree.writeFile("notes.txt", "text");
    const auto menu = finder::buildResultMenu(nullptr, rows);
    ASSERT_TRUE(menu);
    const QMenu* openWith = menu->findChild<QMenu*>("OpenWithMenu");
    ASSERT_TRUE(openWith);
    EXPECT_EQ(openWith->menuAction()->text(), "Open With");
    std::vector<std::string> items;
    for (const QAction* action : openWith->actions())
        items.push_back(action->isSeparator() ? "---"
                                              : action->text().toStdString() +
                                                    (action->isEnabled() ? "" : " [disabled]"));
    // No desktop portal in the test's session: no chooser to ask.
    EXPECT_EQ(items, (std::vector<std::string>{"Viewer Two", "Viewer One", "---",
                                               "Other Application… [disabled]"}));
    EXPECT_FALSE(openWith->actions()[1]->icon().isNull());

    registry->forgetStarts();
    openWith->actions()[1]->trigger();
    EXPECT_EQ(registry->starts(1), (std::vector<std::string>{"one " + samples + "/countries.shp " +
                                                             samples + "/cities.shp"}));
}

} // namespace
