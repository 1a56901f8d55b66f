// Starting the companion programs: paths collected, App Paths looked up,
// command lines built, argument vectors received by real programs.
#include "results/companion_launcher.h"
#include "results/desktop_open.h"

#include "companion_env.h"
#include "process_gone.h"

#include <platform/message_box.h>
#include <platform/spawn.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using companiontest::CompanionEnv;
using companiontest::pathsOf;
using companiontest::rowsIn;
using finder::Companion;
using finder::LaunchStatus;

TEST(CollectSelectedPaths, takes_the_first_rows_up_to_the_limit_capped_at_sixteen) {
    struct Case {
        int selected, limit;
        std::size_t taken;
    };
    for (const Case& c : {Case{5, 2, 2}, Case{5, 16, 5}, Case{20, 16, 16}, Case{20, 100, 16},
                          Case{1, 2, 1}, Case{3, 0, 0}, Case{3, -1, 0}, Case{0, 2, 0}}) {
        const auto rows = rowsIn("/data", c.selected);
        EXPECT_EQ(finder::CollectSelectedPaths(rows, c.limit), pathsOf(rows, c.taken))
            << c.selected << " selected, limit " << c.limit;
    }
}

TEST(CollectSelectedPaths, joins_folder_and_name_with_one_separator) {
    const std::vector<finder::RowTexts> rows = {{"a.shp", "/", "", "", ""},
                                                {"b.tif", "/My Maps/", "", "", ""},
                                                {"c.tab", "/x y", "", "", ""}};
    EXPECT_EQ(finder::CollectSelectedPaths(rows, 16),
              (std::vector<std::string>{"/a.shp", "/My Maps/b.tif", "/x y/c.tab"}));
}

TEST(installFolderOf, fails_for_every_entry_that_is_not_a_usable_folder) {
    const std::string longest(259, 'd');
    struct Case {
        const char* what;
        std::optional<std::string> hive;
        std::optional<std::string> folder;
    };
    const std::string key = "[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tollan]\n";
    const std::vector<Case> cases = {
        {"registered", "REGEDIT4\n\n" + key + "@=\"/opt/atlion\"\n", "/opt/atlion"},
        {"259 characters", "REGEDIT4\n\n" + key + "@=\"" + longest + "\"\n", longest},
        {"260 characters", "REGEDIT4\n\n" + key + "@=\"" + longest + "e\"\n", std::nullopt},
        {"empty value", "REGEDIT4\n\n" + key + "@=\"\"\n", std::nullopt},
        {"no default value", "REGEDIT4\n\n" + key + "\"Path\"=\"/opt/atlion\"\n", std::nullopt},
        {"not a text", "REGEDIT4\n\n" + key + "@=dword:00000001\n", std::nullopt},
        {"other program only", "REGEDIT4\n\n" + companiontest::appPathsSection("merrow", "/opt"),
         std::nullopt},
        {"damaged hive", std::string("\x01\x02garbage[[\n@=\"/opt\"\n"), std::nullopt},
        {"no hive file", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        testsupport::HiveEnv hive(c.hive);
        EXPECT_EQ(finder::installFolderOf("tollan"), c.folder) << c.what;
    }
}

// The value is taken as a folder even when it names the program itself.
TEST(BuildViewerCommandLine, appends_the_program_to_whatever_the_value_names) {
    testsupport::HiveEnv hive("REGEDIT4\n\n" +
                              companiontest::appPathsSection("tollan", "/opt/bin/tollan"));
    const auto command = finder::BuildViewerCommandLine("tollan", {"/a b.shp", "/c.tif"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->commandLine, "/opt/bin/tollan/tollan /a b.shp /c.tif");
    EXPECT_EQ(command->arguments,
              (std::vector<std::string>{"/opt/bin/tollan/tollan", "/a b.shp", "/c.tif"}));
    EXPECT_FALSE(finder::BuildViewerCommandLine("pellis", {"/a.shp"}));
}

TEST(launchCompanion, each_program_receives_its_share_of_the_selection_as_whole_arguments) {
    struct Case {
        Companion companion;
        const char* program;
        int selected;
        std::size_t passed;
        const char* folder;
    };
    for (const Case& c : {Case{Companion::QuickView, "pellis", 5, 2, "/data"},
                          Case{Companion::Translate, "merrow", 5, 5, "/data"},
                          Case{Companion::Translate, "merrow", 20, 16, "/data"},
                          Case{Companion::View, "tollan", 20, 16, "/data"},
                          Case{Companion::QuickView, "pellis", 1, 1, "/My Maps/Old Survey/"},
                          Case{Companion::View, "tollan", 3, 3, "/"},
                          Case{Companion::Translate, "merrow", 2, 2, "/caf\xe9 \xff\xfe"}}) {
        CompanionEnv env;
        const auto rows = rowsIn(c.folder, c.selected);
        const finder::LaunchResult result = finder::launchCompanion(c.companion, rows);
        ASSERT_EQ(result.status, LaunchStatus::Started) << c.program << ": " << result.errorText;
        EXPECT_EQ(platform::waitProgram(result.pid), 0);
        const std::vector<std::string> expected = pathsOf(rows, c.passed);
        EXPECT_EQ(env.recorded(c.program), expected) << c.program << " " << c.selected;
        std::string text = env.programPath(c.program);
        for (const std::string& path : expected)
            text += " " + path;
        EXPECT_EQ(result.commandLine, text);
    }
}

TEST(launchCompanion, starts_nothing_for_an_unregistered_program_or_an_empty_selection) {
    CompanionEnv env({"tollan", "merrow"});
    EXPECT_EQ(finder::launchCompanion(Companion::QuickView, rowsIn("/data", 3)).status,
              LaunchStatus::NotRegistered);
    EXPECT_EQ(finder::launchCompanion(Companion::Translate, {}).status,
              LaunchStatus::NothingSelected);
    EXPECT_FALSE(env.recorded("pellis", std::chrono::milliseconds(200)));
    EXPECT_FALSE(env.recorded("merrow", std::chrono::milliseconds(0)));
}

TEST(launchCompanion, a_popup_start_that_fails_shows_no_box) {
    testsupport::HiveEnv hive("REGEDIT4\n\n" +
                              companiontest::appPathsSection("merrow", "/no/such/folder"));
    int boxes = 0;
    platform::setMessageBoxPresenter([&](const platform::MessageBoxRequest&) { return ++boxes; });
    const auto result = finder::launchCompanion(Companion::Translate, rowsIn("/data", 2));
    platform::setMessageBoxPresenter({});
    EXPECT_EQ(result.status, LaunchStatus::StartFailed);
    EXPECT_EQ(boxes, 0);
}

// The double-click: what starts, and the box a failed start shows.
TEST(openFirstInFullViewer, opens_the_first_row_only_and_reports_a_failed_start) {
    struct Case {
        const char* what;
        std::vector<std::string> registered;
        const char* folder; // of tollan; null: the test's program folder
        int selected;
        LaunchStatus status;
        int error; // of the box; 0: no box
    };
    for (const Case& c : {
             Case{"registered", {"tollan"}, nullptr, 3, LaunchStatus::Started, 0},
             Case{"nothing selected", {"tollan"}, nullptr, 0, LaunchStatus::NothingSelected, 0},
             Case{"not registered",
                  {"pellis", "merrow"},
                  nullptr,
                  3,
                  LaunchStatus::NotRegistered,
                  0},
             Case{"missing program", {}, "/no/such/folder", 1, LaunchStatus::StartFailed, ENOENT},
             Case{"value names the program", {}, "/bin/sh", 1, LaunchStatus::StartFailed, ENOTDIR},
         }) {
        CompanionEnv env(c.registered);
        std::optional<testsupport::HiveEnv> other;
        if (c.folder)
            other.emplace("REGEDIT4\n\n" + companiontest::appPathsSection("tollan", c.folder));
        std::vector<platform::MessageBoxRequest> boxes;
        platform::setMessageBoxPresenter([&](const platform::MessageBoxRequest& box) {
            boxes.push_back(box);
            return platform::IDOK;
        });
        int owner = 0;
        const auto rows = rowsIn("/Survey Data", c.selected);
        const auto result = finder::openFirstInFullViewer(rows, &owner);
        platform::setMessageBoxPresenter({});

        EXPECT_EQ(result.status, c.status) << c.what;
        if (c.status == LaunchStatus::Started) {
            EXPECT_EQ(platform::waitProgram(result.pid), 0);
            EXPECT_EQ(env.recorded("tollan"), pathsOf(rows, 1)) << c.what;
        } else {
            EXPECT_FALSE(env.recorded("tollan", std::chrono::milliseconds(0))) << c.what;
        }
        ASSERT_EQ(boxes.size(), c.error ? 1u : 0u) << c.what;
        if (c.error) {
            EXPECT_EQ(boxes[0].title, "CreateProcess error");
            EXPECT_EQ(boxes[0].text, std::strerror(c.error)) << c.what;
            EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONINFORMATION);
            EXPECT_EQ(boxes[0].owner, &owner);
        }
    }
}

TEST(launchCompanion, leaves_no_zombie_once_the_program_has_ended) {
    CompanionEnv env;
    const auto result = finder::launchCompanion(Companion::Translate, rowsIn("/data", 2));
    ASSERT_EQ(result.status, LaunchStatus::Started);
    ASSERT_TRUE(env.recorded("merrow"));
    // Nobody waits for the child here: it must be reaped all the same.
    EXPECT_TRUE(testsupport::processGone(result.pid));
}

// The desktop's handler: a recording "xdg-open" first in PATH.
class DesktopOpenTest : public ::testing::Test {
protected:
    std::vector<std::string> opened(const std::vector<int>& pids) {
        for (int pid : pids)
            EXPECT_EQ(platform::waitProgram(pid), 0);
        std::vector<std::string> items;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            if (entry.path().filename().string().starts_with("opened."))
                for (const std::string& line :
                     CompanionEnv::lines(testsupport::TempDir::readFile(entry.path())))
                    items.push_back(line);
        std::sort(items.begin(), items.end());
        return items;
    }

    testsupport::TempDir dir;
    const std::string script = companiontest::writeScriptText(
        dir, "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"${0%/*}/opened.$$\"\n");
    testsupport::ScopedEnv path{"PATH", dir.str()};
};

TEST_F(DesktopOpenTest, opens_each_selected_file_once_up_to_sixteen) {
    const auto rows = rowsIn("/My Maps", 20);
    std::vector<std::string> expected = pathsOf(rows, 16);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened(finder::openWithDefaultApplication(rows)), expected);
}

TEST_F(DesktopOpenTest, opens_each_containing_folder_once) {
    std::vector<finder::RowTexts> rows = rowsIn("/My Maps", 2);
    for (const char* folder : {"/My Maps/", "/b", "", "/"})
        rows.push_back({"x.shp", folder, "", "", ""});
    EXPECT_EQ(opened(finder::openContainingFolders(rows)),
              (std::vector<std::string>{"/", "/My Maps", "/b"}));
}

TEST(openWithDefaultApplication, starts_nothing_without_the_desktop_opener) {
    testsupport::TempDir empty;
    testsupport::ScopedEnv path("PATH", empty.str());
    EXPECT_TRUE(finder::openWithDefaultApplication(rowsIn("/data", 2)).empty());
    EXPECT_TRUE(finder::openContainingFolders(rowsIn("/data", 2)).empty());
}

} // namespace
