// The window and the catalogue: a repeat search fills the list at once from
// the catalogue, says so while it checks, and ends with the rows the disk
// has, each once.
#include "window_fixture.h"

#include "catalogue_tree.h"
#include "finder/search_status.h"
#include "map/results_map.h"
#include "results/result_list.h"

#include <QComboBox>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <filesystem>
#include <set>

namespace windowtest {
namespace {

using testsupport::CatalogueTree;
using testsupport::TempDir;

class WindowCatalogue : public WindowTest {
protected:
    void search(const std::string& folder, const QString& pattern) {
        pickedFolder = QString::fromStdString(folder);
        control<QPushButton>("BrowseButton")->click();
        control<QComboBox>("NameComboBox")->setEditText(pattern);
        control<QPushButton>("FindNowButton")->click();
    }
    bool waitUntil(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
};

TEST_F(WindowCatalogue, a_repeat_search_shows_the_catalogue_then_the_disk_each_row_once) {
    TempDir dir;
    const CatalogueTree tree(dir);
    const std::string root = std::filesystem::canonical(tree.root()).string();
    open();
    search(root, "*.*");
    ASSERT_TRUE(waitForSearch());
    const std::vector<QStringList> before = rows();
    ASSERT_EQ(before.size(), 12u);

    std::filesystem::remove(tree.path("a/notes.txt"));
    tree.append("b/plan.txt", std::string(5000, 'x'));
    tree.write("c/new.txt", "new");
    const std::string hold = dir.writeFile("hold");
    const testsupport::ScopedEnv holding("KAVREL_CATALOGUE_TEST_HOLD", hold);
    search(root, "*.*");
    // Held after the catalogue's rows were shown: the list is the last one.
    ASSERT_TRUE(waitUntil([&] { return status().startsWith("From the catalogue, checking: "); }))
        << status().toStdString();
    ASSERT_TRUE(waitUntil([&] { return rows() == before; }));
    EXPECT_EQ(status(), QString::fromStdString(finder::checkingText(root)));
    std::filesystem::remove(hold);
    ASSERT_TRUE(waitForSearch());

    const std::vector<QStringList> after = rows();
    EXPECT_EQ(std::set<QStringList>(after.begin(), after.end()).size(), after.size());
    const auto row = [&](const char* name) {
        return std::find_if(after.begin(), after.end(),
                            [&](const QStringList& r) { return r[0] == name; });
    };
    EXPECT_EQ(row("notes.txt"), after.end());
    ASSERT_NE(row("new.txt"), after.end());
    ASSERT_NE(row("plan.txt"), after.end());
    EXPECT_EQ((*row("plan.txt"))[2], "5KB");
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(status(), "12 file(s) found");
    // The map counts the rows the list ends with: those of the catalogue,
    // put anew or taken away by the walk, and those it found.
    EXPECT_TRUE(waitUntil([&] {
        return window->resultsMap()->rowCount() == 12 && window->resultsMap()->settled();
    })) << window->resultsMap()->rowCount();
}

} // namespace
} // namespace windowtest
