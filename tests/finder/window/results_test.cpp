// The results list in the real window: sorting by header and by menu with
// shared directions, view styles, selection commands and drag detection.
#include "window_fixture.h"

#include "results/result_list.h"
#include "temp_dir.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

namespace windowtest {
namespace {

using finder::ResultList;

class WindowResults : public WindowTest {
protected:
    // A search of a folder holding the named files, of the given sizes.
    ResultList* searchFiles(const std::vector<std::pair<std::string, std::size_t>>& files) {
        for (const auto& [name, size] : files)
            dir_.writeFile(name, std::string(size, 'x'));
        open();
        pickedFolder = QString::fromStdString(dir_.str());
        control<QPushButton>("BrowseButton")->click();
        control<QComboBox>("NameComboBox")->setEditText("*.*");
        control<QPushButton>("FindNowButton")->click();
        EXPECT_TRUE(waitForSearch());
        return control<ResultList>("ResultList");
    }
    QStringList column(ResultList* list, int c) {
        QStringList texts;
        for (int r = 0; r < list->rowCount(); ++r)
            texts << list->rowTexts(r)[c];
        return texts;
    }
    void trigger(const char* action) { control<QAction>(action)->trigger(); }

    testsupport::TempDir dir_;
};

TEST_F(WindowResults, header_and_arrange_items_share_each_columns_direction) {
    ResultList* list =
        searchFiles({{"b.dat", 10 * 1024}, {"A.dat", 9 * 1024}, {"c.dat", 100}, {"a.dat", 0}});
    auto* header = control<QTreeView>("ResultDetails")->header();
    const QStringList captions = {"Name", "In Folder", "Size    ", "Type", "Modified"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(list->currentView()->model()->headerData(c, Qt::Horizontal), captions[c]);
    EXPECT_GE(header->sectionSize(2), 44);

    struct Step {
        const char* how; // a header section ("0".."4") or an Arrange Icons item
        int column;
        QStringList expected;
    } steps[] = {
        {"0", 0, {"A.dat", "a.dat", "b.dat", "c.dat"}},
        {"bySize1", 0, {"a.dat", "c.dat", "A.dat", "b.dat"}}, // 0KB 1KB 9KB 10KB
        {"byName", 0, {"c.dat", "b.dat", "a.dat", "A.dat"}},  // second sort by name
        {"2", 0, {"b.dat", "A.dat", "c.dat", "a.dat"}},       // second sort by size
    };
    for (const Step& s : steps) {
        if (s.how[0] >= '0' && s.how[0] <= '4')
            emit header->sectionClicked(s.how[0] - '0');
        else
            trigger(s.how);
        EXPECT_EQ(column(list, s.column), s.expected) << s.how;
    }
    // New Search and Find Now keep the directions.
    trigger("byType1");
    answer = platform::IDOK;
    control<QPushButton>("NewSearchButton")->click();
    control<QPushButton>("FindNowButton")->click();
    ASSERT_TRUE(waitForSearch());
    EXPECT_EQ(list->sortDirections().bits(), 1u << 3);
}

TEST_F(WindowResults, view_styles_move_the_check_and_selection_commands_follow_visibility) {
    open();
    ResultList* list = control<ResultList>("ResultList");
    trigger("SelectAll1"); // hidden list: nothing to select, nothing happens
    EXPECT_TRUE(list->selectedRows().empty());
    list = searchFiles({{"1.dat", 1}, {"2.dat", 1}, {"3.dat", 1}});
    const char* const items[] = {"LargeIcons1", "SmallIcons1", "List1", "Details1"};
    for (int style = 0; style < 4; ++style) {
        trigger(items[style]);
        EXPECT_EQ(static_cast<int>(list->viewStyle()), style);
        for (int other = 0; other < 4; ++other)
            EXPECT_EQ(control<QAction>(items[other])->isChecked(), other == style) << items[other];
    }
    EXPECT_EQ(list->selectedRows(), std::vector<int>{0}); // the search selected the first row
    trigger("InvertSelection1");
    EXPECT_EQ(list->selectedRows(), (std::vector<int>{1, 2}));
    trigger("SelectAll1");
    EXPECT_EQ(list->selectedRows(), (std::vector<int>{0, 1, 2}));
}

TEST_F(WindowResults, a_drag_starts_beyond_four_pixels_or_after_200_ms_on_a_row) {
    ResultList* list = searchFiles({{"1.dat", 1}, {"2.dat", 1}});
    int drags = 0;
    QObject::connect(list, &ResultList::dragRequested, [&drags] { ++drags; });
    QWidget* viewport = list->currentView()->viewport();
    const QPoint onRow =
        list->currentView()->visualRect(list->currentView()->model()->index(0, 0)).center();
    const auto send = [viewport](QEvent::Type type, QPoint at, Qt::MouseButton button) {
        QMouseEvent event(type, at, viewport->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    };
    struct Case {
        const char* what;
        QPoint press;
        QPoint move;      // (0, 0): no move
        bool waitForTick; // hold still past the timer
        int drags;
    } cases[] = {
        {"4 pixels right stays in the box", onRow, onRow + QPoint(4, 0), false, 0},
        {"5 pixels right starts it", onRow, onRow + QPoint(5, 0), false, 1},
        {"5 pixels up starts it", onRow, onRow - QPoint(0, 5), false, 1},
        {"held still for the tick", onRow, {}, true, 1},
        {"press below the last row", QPoint(onRow.x(), viewport->height() - 2), {}, true, 0},
    };
    for (const Case& c : cases) {
        drags = 0;
        send(QEvent::MouseButtonPress, c.press, Qt::LeftButton);
        if (!c.move.isNull())
            send(QEvent::MouseMove, c.move, Qt::LeftButton);
        if (c.waitForTick)
            QTest::qWait(ResultList::kDragDelay + 100);
        if (list->dragPending())
            send(QEvent::MouseButtonRelease, c.move.isNull() ? c.press : c.move, Qt::LeftButton);
        EXPECT_EQ(drags, c.drags) << c.what;
        EXPECT_FALSE(list->dragPending()) << c.what;
    }
    // A release before the tick ends the pending drag without one.
    drags = 0;
    send(QEvent::MouseButtonPress, onRow, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, onRow, Qt::LeftButton);
    QTest::qWait(ResultList::kDragDelay + 100);
    EXPECT_EQ(drags, 0);
}

TEST_F(WindowResults, double_click_opens_the_first_selected_row_in_the_full_viewer) {
    testsupport::TempDir programs;
    const std::string viewer = programs.writeFile(
        "tollan", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.args\"\n");
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
    for (const char* name : {"1.dat", "2 two.dat", "3.dat"})
        dir_.writeFile(name, "x");
    open(systemHive() +
         "\n[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tollan]\n@=\"" +
         programs.str() + "\"\n");
    pickedFolder = QString::fromStdString(dir_.str());
    control<QPushButton>("BrowseButton")->click();
    control<QComboBox>("NameComboBox")->setEditText("*.dat");
    control<QPushButton>("FindNowButton")->click();
    ASSERT_TRUE(waitForSearch());
    ResultList* list = control<ResultList>("ResultList");
    trigger("InvertSelection1"); // the rows after the first
    const std::string expected = dir_.str() + "/" + list->rowTexts(1)[0].toStdString();
    emit list->rowDoubleClicked();
    const std::string args = programs / "tollan.args";
    for (int i = 0; i < 300 && !std::filesystem::exists(args); ++i)
        QTest::qWait(10);
    EXPECT_EQ(testsupport::TempDir::readFile(args), expected + "\n");
}

} // namespace
} // namespace windowtest
