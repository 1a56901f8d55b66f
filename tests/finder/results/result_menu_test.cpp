// ResultMenu offscreen: its items for each registration of the full viewer,
// what each item starts, and the double-click without the full viewer.
#include "results/result_menu.h"

#include "companion_env.h"

#include <platform/message_box.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using companiontest::CompanionEnv;
using companiontest::pathsOf;
using companiontest::rowsIn;

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "finder_companion_menu_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Each entry: its text, or "---" for a separator, with its states.
std::vector<std::string> describe(const QMenu& menu) {
    std::vector<std::string> items;
    for (const QAction* action : menu.actions()) {
        std::string item = action->isSeparator() ? "---" : action->text().toStdString();
        if (action == menu.defaultAction())
            item += " [default]";
        if (!action->isVisible())
            item += " [hidden]";
        if (!action->isEnabled())
            item += " [disabled]";
        items.push_back(item);
    }
    return items;
}

QAction* item(const QMenu& menu, const char* text) {
    for (QAction* action : menu.actions())
        if (action->text() == QString::fromUtf8(text))
            return action;
    return nullptr;
}

TEST(ResultMenu, puts_the_full_viewer_first_as_default_only_when_it_is_registered) {
    struct Case {
        const char* what;
        std::optional<std::string> hive;
        std::vector<std::string> items;
    };
    const std::vector<std::string> withViewer = {
        "Atlion View [default]",         "Atlion QuickView", "Atlion Translate",      "---",
        "Open With Default Application", "Open With",        "Open Containing Folder"};
    const std::vector<std::string> withoutViewer = {
        "Atlion QuickView [default]",      "Atlion Translate",
        "Atlion View [hidden] [disabled]", "---",
        "Open With Default Application",   "Open With",
        "Open Containing Folder"};
    const std::string key = "[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tollan]\n";
    for (const Case& c : {
             Case{"registered", "REGEDIT4\n\n" + key + "@=\"/opt/atlion\"\n", withViewer},
             Case{"no entry", "REGEDIT4\n\n" + companiontest::appPathsSection("pellis", "/opt"),
                  withoutViewer},
             Case{"empty value", "REGEDIT4\n\n" + key + "@=\"\"\n", withoutViewer},
             Case{"too long", "REGEDIT4\n\n" + key + "@=\"" + std::string(260, 'x') + "\"\n",
                  withoutViewer},
             Case{"no hive", std::nullopt, withoutViewer},
         }) {
        testsupport::HiveEnv hive(c.hive);
        const auto menu = finder::buildResultMenu(nullptr, rowsIn("/data", 1));
        ASSERT_TRUE(menu) << c.what;
        EXPECT_EQ(menu->objectName(), "ResultMenu");
        EXPECT_EQ(describe(*menu), c.items) << c.what;
    }
}

TEST(ResultMenu, show_on_map_comes_last_below_a_separator_when_the_window_offers_it) {
    testsupport::HiveEnv hive(std::nullopt);
    struct Case {
        const char* what;
        bool offered, enabled;
        std::vector<std::string> last; // the last two items
    } cases[] = {
        {"not offered", false, true, {"Open With", "Open Containing Folder"}},
        {"a selected row on the map", true, true, {"---", "Show on Map"}},
        {"no selected row on the map", true, false, {"---", "Show on Map [disabled]"}},
    };
    for (const Case& c : cases) {
        int shown = 0;
        const finder::MapItem mapItem{c.offered ? std::function<void()>([&] { ++shown; }) : nullptr,
                                      c.enabled};
        const auto menu = finder::buildResultMenu(nullptr, rowsIn("/data", 1), mapItem);
        ASSERT_TRUE(menu);
        const std::vector<std::string> items = describe(*menu);
        EXPECT_EQ(std::vector<std::string>(items.end() - 2, items.end()), c.last) << c.what;
        if (QAction* show = item(*menu, "Show on Map"))
            show->trigger();
        EXPECT_EQ(shown, c.offered && c.enabled ? 1 : 0) << c.what; // disabled: no trigger
    }
}

TEST(ResultMenu, is_not_built_without_a_selected_row) {
    CompanionEnv env;
    EXPECT_EQ(finder::buildResultMenu(nullptr, {}), nullptr);
}

TEST(ResultMenu, each_companion_item_starts_its_program_with_its_share_of_the_rows) {
    struct Case {
        const char* item;
        const char* program;
        int selected;
        std::size_t passed;
    };
    for (const Case& c :
         {Case{"Atlion QuickView", "pellis", 5, 2}, Case{"Atlion Translate", "merrow", 5, 5},
          Case{"Atlion View", "tollan", 20, 16}}) {
        CompanionEnv env;
        const auto rows = rowsIn("/Survey Data/2024 maps", c.selected);
        const auto menu = finder::buildResultMenu(nullptr, rows);
        ASSERT_TRUE(menu);
        item(*menu, c.item)->trigger();
        EXPECT_EQ(env.recorded(c.program), pathsOf(rows, c.passed)) << c.item;
    }
}

TEST(ResultMenu, desktop_items_work_without_any_companion_registered) {
    testsupport::HiveEnv hive(std::nullopt);
    testsupport::TempDir bin;
    companiontest::writeScriptText(bin, "xdg-open",
                                   "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"${0%/*}/opened\"\n");
    testsupport::ScopedEnv path("PATH", bin.str());
    const auto menu = finder::buildResultMenu(nullptr, rowsIn("/My Maps", 1));
    ASSERT_TRUE(menu);
    item(*menu, "Open Containing Folder")->trigger();
    const std::string opened = bin / "opened";
    // The opener runs on its own: wait for its whole line (a loaded machine
    // may take seconds to start it).
    for (int i = 0;
         i < 2000 && testsupport::TempDir::readFile(opened).find('\n') == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(testsupport::TempDir::readFile(opened), "/My Maps\n");
}

TEST(ResultMenu, pops_up_at_the_given_point_and_returns_when_closed) {
    CompanionEnv env;
    QString shown;
    QPoint where;
    QTimer::singleShot(0, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            shown = popup->objectName();
            where = popup->pos();
            popup->close();
        }
    });
    finder::showResultMenu(nullptr, QPoint(40, 30), rowsIn("/data", 2));
    EXPECT_EQ(shown, "ResultMenu");
    EXPECT_EQ(where, QPoint(40, 30));
    EXPECT_FALSE(env.recorded("tollan", std::chrono::milliseconds(0)));
}

TEST(openInFullViewer, does_nothing_without_the_full_viewer) {
    CompanionEnv env({"pellis", "merrow"});
    int boxes = 0;
    platform::setMessageBoxPresenter([&](const platform::MessageBoxRequest&) { return ++boxes; });
    const auto result = finder::openInFullViewer(nullptr, rowsIn("/data", 3));
    platform::setMessageBoxPresenter({});
    EXPECT_EQ(result.status, finder::LaunchStatus::NotRegistered);
    EXPECT_EQ(boxes, 0);
    EXPECT_FALSE(env.recorded("tollan", std::chrono::milliseconds(200)));
}

} // namespace
