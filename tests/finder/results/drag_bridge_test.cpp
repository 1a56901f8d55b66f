// Dragging result rows to the desktop: a drop target receives the files'
// URIs, every request builds a new block, a release with another button
// down does not drop, and the drag leaves no object behind.
#include "results/data_object.h"
#include "results/drag_bridge.h"
#include "results/drop_blocks.h"
#include "results/drop_source.h"
#include "results/result_mime_data.h"

#include "drag_support.h"
#include "temp_dir.h"

#include <QApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::TraceLines;

using namespace platform;
using finder::ComRef;
using finder::RowTexts;

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "finder_drag_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};
testing::Environment* const qtEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);

// A widget that takes dropped files, as a file manager's folder view does.
class DropTarget : public QWidget {
public:
    DropTarget() {
        setAcceptDrops(true);
        resize(200, 200);
    }
    QStringList files;
    QByteArray uriList;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        uriList = event->mimeData()->data("text/uri-list");
        for (const QUrl& url : event->mimeData()->urls())
            files << url.toLocalFile();
        event->acceptProposedAction();
    }
};

ComRef<IDataObject> dataObjectOver(std::vector<RowTexts> rows) {
    ComRef<IDataObject> data(new finder::CImpIDataObject(std::move(rows)));
    finder::offerDropFormats(data.get());
    return data;
}

std::string take(HGLOBAL block) {
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    std::string copy(bytes, GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return copy;
}

class Drag : public testing::Test {
protected:
    // Files with a blank, a percent sign, a hash, non-ASCII letters and bytes
    // that are not UTF-8, and what each looks like in its URI.
    struct File {
        std::string relative;
        std::string encoded;
    };
    const std::vector<File> files{
        {"my maps/roads.shp", "/my%20maps/roads.shp"},
        {"100% sure/\xC3\xA9t\xC3\xA9.tif", "/100%25%20sure/%C3%A9t%C3%A9.tif"},
        {"my maps/a#b;c.tab", "/my%20maps/a%23b%3Bc.tab"},
        {"caf\xe9/\xff\xfe x.tif", "/caf%E9/%FF%FE%20x.tif"}, // not UTF-8: bytes as they are
    };
    std::vector<RowTexts> rows() const {
        std::vector<testsupport::NameAndFolder> out;
        for (const File& f : files) {
            const std::string path = tmp.writeFile(f.relative, "x");
            const std::size_t slash = path.rfind('/');
            out.emplace_back(path.substr(slash + 1), path.substr(0, slash));
        }
        return testsupport::draggedRows(out);
    }
    testsupport::TempDir tmp;
};

TEST_F(Drag, a_drop_target_receives_the_selected_files_as_file_uris) {
    finder::ResultMimeData mime(dataObjectOver(rows()).get());
    DropTarget target;
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    EXPECT_TRUE(drop.isAccepted());

    QStringList expected;
    QByteArray expectedList;
    for (const File& f : files) {
        expected << QString::fromStdString(tmp / f.relative);
        expectedList +=
            "file://" + QByteArray::fromStdString(tmp.str()) + f.encoded.c_str() + "\r\n";
    }
    EXPECT_EQ(target.files, expected);
    EXPECT_EQ(target.uriList, expectedList);
}

TEST_F(Drag, every_request_of_a_target_builds_a_new_block) {
    const std::vector<RowTexts> selected = rows();
    finder::ResultMimeData mime(dataObjectOver(selected).get());
    EXPECT_EQ(mime.formats(), QStringList({"text/uri-list", "application/x-kavrel-hdrop",
                                           "application/x-kavrel-shell-idlist"}));
    const std::size_t live = GlobalLiveCount();
    TraceLines trace;
    EXPECT_EQ(mime.data(finder::kUriListMimeType), mime.data(finder::kUriListMimeType));
    EXPECT_EQ(mime.data(finder::kHDropMimeType).toStdString(), take(finder::CreateHDrop(selected)));
    EXPECT_EQ(mime.data(finder::kShellIdListMimeType).toStdString(),
              take(finder::CreateShellIdList(selected)));
    EXPECT_EQ(trace.count("CreateHDrop()\n"), 4);
    EXPECT_EQ(trace.count("CreateShellIdList()\n"), 2);
    EXPECT_EQ(GlobalLiveCount(), live); // each block freed once read
}

TEST(DragSource, a_release_with_another_button_down_is_kept_from_the_drag) {
    const struct {
        const char* what;
        QEvent::Type type;
        Qt::MouseButton button;
        Qt::MouseButtons held; // after the event
        bool keptFromDrag;
    } cases[] = {
        {"left released, right held", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::RightButton,
         true},
        {"right released, left held", QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton,
         true},
        {"last button released", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, false},
        {"middle held", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::MiddleButton, false},
        {"move", QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, false},
    };
    ComRef<finder::CDropSource> source(new finder::CDropSource);
    finder::DropSourceFilter filter(source.get());
    QObject watched;
    for (const auto& c : cases) {
        QMouseEvent event(c.type, QPointF(5, 5), QPointF(5, 5), c.button, c.held, Qt::NoModifier);
        EXPECT_EQ(filter.eventFilter(&watched, &event), c.keptFromDrag) << c.what;
    }
    TraceLines trace;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(filter.eventFilter(&watched, &escape)); // the drag itself cancels
    EXPECT_EQ(trace.lines, std::vector<std::string>{"CDropSource::QueryContinueDrag\r\n"});
}

// One object made with one reference: every reference taken was given up.
void expectBalanced(const TraceLines& trace, const std::string& addRef,
                    const std::string& release) {
    EXPECT_EQ(1 + trace.count(addRef), trace.count(release)) << release;
}

TEST_F(Drag, a_drag_that_cannot_run_ends_cancelled_and_leaves_no_object) {
    if (QGuiApplication::platformName() != "offscreen")
        GTEST_SKIP() << "a real drag would wait for the mouse";
    QWidget window;
    auto* list = new QWidget(&window);
    window.setCursor(Qt::WaitCursor);
    TraceLines trace;
    // The offscreen platform runs no drag: the drag ends at once, as with no target.
    EXPECT_EQ(finder::runResultDrag(list, rows()), DRAGDROP_S_CANCEL);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(trace.count("Drop Source \n"), 1);
    EXPECT_EQ(trace.count("DRAGDROP_S_CANCEL\n"), 1);
    EXPECT_EQ(trace.count("Drag Drop failed \n"), 0);
    expectBalanced(trace, "CImpIDataObject::AddRef()\n", "CImpIDataObject::Release()\n");
    expectBalanced(trace, "CDropSource::AddRef\r\n", "CDropSource::Release\r\n");
    EXPECT_EQ(trace.count("Deleting the object too early \n"), 0);

    TraceLines noSource;
    EXPECT_EQ(finder::runResultDrag(nullptr, rows()), E_INVALIDARG);
    EXPECT_NE(std::find(noSource.lines.begin(), noSource.lines.end(), "Drag Drop failed \n"),
              noSource.lines.end());
    EXPECT_EQ(noSource.count("UNKNOWN\n"), 1);
}

// Real drags on an X server (xvfb-run, QT_QPA_PLATFORM=xcb): the mouse
// carries the rows from one window into a drop target and lets go there.
TEST_F(Drag, on_an_x_server_the_files_are_dropped_into_another_window) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server";
    QWidget source;
    source.setGeometry(0, 0, 100, 100);
    DropTarget target;
    target.setGeometry(300, 0, 200, 200);
    source.show();
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&source));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    QWindow* over = target.windowHandle();
    auto moveOver = [&] {
        for (int x : {10, 40, 80})
            QTest::mouseMove(over, QPoint(x, 50), 20);
    };
    const struct {
        const char* what;
        std::vector<Qt::MouseButton> pressed; // at the source, before the drag
        std::function<void()> overTarget;     // while the drag runs
        HRESULT result;
        bool dropped;
    } cases[] = {
        {"the left button let go over the target",
         {Qt::LeftButton},
         [&] {
             moveOver();
             QTest::mouseRelease(over, Qt::LeftButton, {}, QPoint(80, 50), 20);
         },
         DRAGDROP_S_DROP,
         true},
        {"the left button let go while the right one is held, then the right one",
         {Qt::LeftButton, Qt::RightButton},
         [&] {
             moveOver();
             QTest::mouseRelease(over, Qt::LeftButton, {}, QPoint(80, 50), 20);
             EXPECT_TRUE(target.files.isEmpty()); // not dropped yet
             QTest::mouseMove(over, QPoint(90, 50), 20);
             QTest::mouseRelease(over, Qt::RightButton, {}, QPoint(90, 50), 20);
         },
         DRAGDROP_S_DROP,
         true},
        {"escape over the target",
         {Qt::LeftButton},
         [&] {
             moveOver();
             QTest::keyClick(over, Qt::Key_Escape);
         },
         DRAGDROP_S_CANCEL,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        target.files.clear();
        for (Qt::MouseButton button : c.pressed)
            QTest::mousePress(source.windowHandle(), button, {}, QPoint(50, 50));
        QTimer::singleShot(200, &target, c.overTarget);
        EXPECT_EQ(finder::runResultDrag(&source, rows()), c.result);
        if (!c.dropped)
            QTest::mouseRelease(source.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
        QStringList expected;
        for (const File& f : files)
            expected << QString::fromStdString(tmp / f.relative);
        EXPECT_EQ(target.files, c.dropped ? expected : QStringList());
    }
}

} // namespace
