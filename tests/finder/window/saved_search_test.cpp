// Saved searches of the finder window: File > Save Search, the file's bytes,
// and a fresh window started on the file with everything put back.
#include "window_fixture.h"

#include "finder/saved_search.h"
#include "map/selection_map.h"
#include "results/result_list.h"
#include "run_command.h"
#include "temp_dir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <cstring>
#include <strand32/mapora.h>

namespace windowtest {
namespace {

using testsupport::ScopedEnv;
using testsupport::TempDir;

class WindowSavedSearch : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // Saved searches, the desktop and the launcher stay in this test's folder.
        dataHome_ = std::make_unique<ScopedEnv>("XDG_DATA_HOME", dir / "data");
        home_ = std::make_unique<ScopedEnv>("HOME", dir / "home");
        config_ = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", dir / "home/.config");
        dir.makeFolder("home/Desktop");
        dir.writeFile("tree/a.txt", "1");
        dir.writeFile("tree/b.txt", std::string(2000, 'b'));
        dir.writeFile("tree/sub/c.txt", "3");
    }
    void lookIn(const std::string& folder) {
        pickedFolder = QString::fromStdString(folder);
        control<QPushButton>("BrowseButton")->click();
    }
    void findNow() {
        control<QPushButton>("FindNowButton")->click();
        ASSERT_TRUE(waitForSearch());
    }
    // The three-row search of the tree, with every page away from its defaults.
    void setUpKnownState() {
        control<QComboBox>("NameComboBox")->setEditText("*.txt");
        lookIn(dir / "tree");
        control<QRadioButton>("DuringPreviousMonth")->click();
        control<QLineEdit>("PrevMonths")->setText("4");
        control<QRadioButton>("bIntersection")->click();
        control<QComboBox>("AdvancedSize")->setCurrentIndex(2);
        control<QLineEdit>("KB")->setText("250");
        findNow();
    }
    // Corners typed after the search (text files have no extent to test).
    void typeCorners() {
        const char* corners[] = {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"};
        const char* texts[] = {"10 30 W", "45.5", "-12 15 30", "30 N"};
        for (int i = 0; i < 4; ++i)
            control<QLineEdit>(corners[i])->setText(texts[i]);
    }
    std::string searchesFolder() { return dir / "data/kavrel/searches"; }

    TempDir dir;

private:
    std::unique_ptr<ScopedEnv> dataHome_, home_, config_;
};

TEST_F(WindowSavedSearch, save_search_asks_then_writes_numbered_files_and_a_desktop_launcher) {
    open();
    control<QComboBox>("NameComboBox")->setEditText("*.SHP");
    QAction* save = window->findChild<QAction*>("SaveSearch1");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "S&ave Search");

    answer = platform::IDNO;
    save->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "A shortcut will be created and placed on the desktop.\n"
                             "Do you want to continue?");
    EXPECT_EQ(boxes[0].title, "Atlion Find");
    EXPECT_EQ(boxes[0].style, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_FALSE(std::filesystem::exists(searchesFolder() + "/@.SHP.wqs"));

    answer = platform::IDYES;
    save->trigger();
    save->trigger();
    for (const char* name : {"@.SHP.wqs", "@.SHP1.wqs"}) {
        const std::string path = searchesFolder() + "/" + name;
        EXPECT_EQ(TempDir::readFile(path).size(), finder::kSavedSearchHeaderSize) << name;
        const std::string launcher =
            TempDir::readFile(dir / ("home/Desktop/Shortcut to " + std::string(name) + ".desktop"));
        EXPECT_NE(launcher.find("Exec="), std::string::npos) << name;
        EXPECT_NE(launcher.find(path + "\n"), std::string::npos) << launcher;
    }

    // Nothing named, nothing asked.
    control<QComboBox>("NameComboBox")->setEditText("");
    save->trigger();
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(WindowSavedSearch, the_file_holds_the_controls_the_count_and_with_results_the_rows) {
    open();
    setUpKnownState();
    const std::string plain = dir / "plain.wqs";
    ASSERT_TRUE(window->writeSavedSearch(plain));
    const std::string bytes = TempDir::readFile(plain);
    ASSERT_EQ(bytes.size(), finder::kSavedSearchHeaderSize);
    EXPECT_EQ(bytes.substr(0, 6), std::string("*.txt\0", 6));
    EXPECT_EQ(bytes.substr(260, dir.str().size() + 6), dir / "tree" + '\0');
    EXPECT_EQ(bytes.substr(520, 4), std::string("\1\0\1\0", 4)); // recurse, modified
    EXPECT_EQ(bytes.substr(548, 3), std::string("\1"
                                                "4\0",
                                                3));
    EXPECT_EQ(bytes.substr(1457, 8), std::string("at most\0", 8));
    EXPECT_EQ(bytes.substr(1482, 7), std::string("\0\0\3\0\0\0\1", 7));

    window->findChild<QAction*>("SaveResults1")->trigger();
    const std::string withRows = dir / "rows.wqs";
    ASSERT_TRUE(window->writeSavedSearch(withRows));
    const std::string all = TempDir::readFile(withRows);
    std::string texts;
    auto* list = control<finder::ResultList>("ResultList");
    for (int row = 0; row < 3; ++row)
        for (const QString& text : list->rowTexts(row))
            texts += text.toStdString() + '\0';
    EXPECT_EQ(all.substr(0, 1482), bytes.substr(0, 1482));
    EXPECT_EQ(all[1482], 1);
    EXPECT_EQ(all.substr(finder::kSavedSearchHeaderSize), texts);
}

TEST_F(WindowSavedSearch, a_fresh_window_started_on_the_file_restores_every_control) {
    open();
    setUpKnownState();
    typeCorners();
    // A group, a system of it and a datum, chosen as the user chooses them.
    for (const char* name : {"CoordinateSystemGroup", "CoordinateSystem", "CoordinateDatum"}) {
        auto* list = control<QComboBox>(name);
        ASSERT_GT(list->count(), 1) << name;
        list->setCurrentIndex(1);
        emit list->activated(1);
    }
    const QString system = control<QComboBox>("CoordinateSystem")->currentText();
    window->selectionMap()->setZoom({12.5, 41.0}, 2.5);
    control<QCheckBox>("Geodetic")->click(); // corner boxes instead of the map
    window->findChild<QAction*>("SaveResults1")->trigger();
    const std::string path = dir / "my search.wqs";
    ASSERT_TRUE(window->writeSavedSearch(path));
    const QStringList firstRow = control<finder::ResultList>("ResultList")->rowTexts(0);

    // Started as "kavrel '   <path>'": the blanks go, the path is loaded.
    commandLine = "   " + path;
    open(systemHive(), userHive(0));
    EXPECT_FALSE(window->resultsHidden());
    EXPECT_EQ(window->height(), window->compactHeight() * 5 / 3);
    EXPECT_EQ(window->statusBar()->currentMessage(), "3 file(s) found");
    EXPECT_EQ(control<finder::ResultList>("ResultList")->rowTexts(0), firstRow);
    EXPECT_TRUE(window->findChild<QAction*>("SaveResults1")->isChecked());
    EXPECT_EQ(window->options(), 0u); // the check mark only
    EXPECT_FALSE(control<QCheckBox>("Geodetic")->isChecked());
    EXPECT_EQ(control<QComboBox>("CoordinateSystem")->currentText(), system);
    EXPECT_TRUE(control<QComboBox>("CoordinateDatum")->isEnabled());
    EXPECT_DOUBLE_EQ(window->selectionMap()->zoomScale(), 2.5);
    EXPECT_DOUBLE_EQ(window->selectionMap()->map()->view().scale(), 2.5);

    // Every control as it was: the window writes the same bytes again.
    const std::string again = dir / "again.wqs";
    ASSERT_TRUE(window->writeSavedSearch(again));
    EXPECT_EQ(TempDir::readFile(again), TempDir::readFile(path));
}

TEST_F(WindowSavedSearch, damaged_or_plain_files_load_what_they_hold) {
    open();
    setUpKnownState();
    window->findChild<QAction*>("SaveResults1")->trigger();
    const std::string whole = dir / "whole.wqs";
    ASSERT_TRUE(window->writeSavedSearch(whole));
    const std::string bytes = TempDir::readFile(whole);

    const std::size_t lengths[] = {0, 1, 260, 521, 1482, 1483, 1486, 1516, 1530, bytes.size()};
    for (const std::size_t length : lengths) {
        const std::string path = dir.writeFile("cut.wqs", bytes.substr(0, length));
        commandLine = path;
        open();
        const bool results = length > 1482; // the results flag was read
        EXPECT_EQ(window->resultsHidden(), !results) << length;
        EXPECT_LE(control<finder::ResultList>("ResultList")->rowCount(), 3) << length;
        EXPECT_EQ(control<QComboBox>("NameComboBox")->currentText(),
                  QString::fromStdString(std::string("*.txt").substr(0, length)))
            << length;
    }
    // A missing file loads nothing and says nothing.
    commandLine = dir / "missing.wqs";
    open();
    EXPECT_TRUE(window->resultsHidden());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WindowSavedSearch, a_file_that_cannot_be_written_shows_the_systems_error) {
    open();
    EXPECT_FALSE(window->writeSavedSearch(dir / "no such folder/x.wqs"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "CreateProcess error");
    EXPECT_EQ(boxes[0].text, std::strerror(ENOENT));
    EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(WindowSavedSearch, kavrel_find_writes_the_same_bytes_as_the_window) {
    open();
    setUpKnownState();
    window->findChild<QAction*>("SaveResults1")->trigger();
    const std::string fromWindow = dir / "window.wqs";
    ASSERT_TRUE(window->writeSavedSearch(fromWindow));

    const std::string fromCommand = dir / "command.wqs";
    const testsupport::CommandResult run =
        testsupport::runCommand(std::string(KAVREL_BUILD_DIR) +
                                "/bin/kavrel-find --named '*.txt' --look-in '" + dir / "tree" +
                                "' --months 4 --intersection --lat-lon --size-at-most 250 "
                                "--save-search '" +
                                fromCommand + "' --save-results 2>&1");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(TempDir::readFile(fromCommand), TempDir::readFile(fromWindow));
}

} // namespace
} // namespace windowtest
