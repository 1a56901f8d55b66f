// Searches run by the finder window over real temporary folder trees.
#include "window_fixture.h"

#include "pages/name_location_page.h"
#include "results/result_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace windowtest {
namespace {

// Sets a file's modification time to a local calendar time.
void setLocalMtime(const std::string& path, int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class WindowSearch : public WindowTest {
protected:
    void lookIn(const std::string& folder) {
        pickedFolder = QString::fromStdString(folder);
        control<QPushButton>("BrowseButton")->click();
    }
    void named(const QString& pattern) { control<QComboBox>("NameComboBox")->setEditText(pattern); }
    void findNow() {
        control<QPushButton>("FindNowButton")->click();
        ASSERT_TRUE(waitForSearch());
    }
};

TEST_F(WindowSearch, lists_the_files_of_a_tree_with_their_exact_texts) {
    testsupport::TempDir dir;
    const std::string top = dir.makeFolder("Maps and Data");
    setLocalMtime(dir.writeFile("Maps and Data/data.xyz", std::string(1025, 'x')), 1999, 3, 7, 9,
                  5);
    setLocalMtime(dir.writeFile("Maps and Data/landcover"), 2004, 11, 20, 0, 30);
    setLocalMtime(dir.writeFile("Maps and Data/sub/exact.KB", std::string(1024, 'k')), 2010, 1, 2,
                  12, 0);
    setLocalMtime(dir.writeFile("Maps and Data/sub/deeper/notes.txt", "hello"), 2021, 12, 31, 13,
                  59);
    dir.makeFolder("Maps and Data/empty.folder");
    // A sparse 5 GB image: its size is counted in full, not modulo 4 GB.
    ASSERT_EQ(::truncate(dir.writeFile("Maps and Data/big/huge.tif").c_str(), 5000000000LL), 0);

    auto& w = open();
    lookIn(top);
    named("*.*");
    findNow();

    std::vector<QStringList> expected = {
        {"data.xyz", QString::fromStdString(top), "2KB", "xyz File", "3/7/1999 9:05 AM"},
        {"exact.KB", QString::fromStdString(top + "/sub"), "1KB", "KB File", "1/2/2010 12:00 PM"},
        {"notes.txt", QString::fromStdString(top + "/sub/deeper"), "1KB", "txt File",
         "12/31/2021 1:59 PM"},
        {"landcover", QString::fromStdString(top), "0KB", "File", "11/20/2004 12:30 AM"},
    };
    std::sort(expected.begin(), expected.end());
    std::vector<QStringList> found = rows();
    const auto huge = std::find_if(found.begin(), found.end(),
                                   [](const QStringList& row) { return row[0] == "huge.tif"; });
    ASSERT_NE(huge, found.end());
    EXPECT_EQ((*huge)[2], "4882813KB");
    found.erase(huge);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(status(), "5 file(s) found");
    EXPECT_TRUE(results()->isRowSelected(0));
    EXPECT_FALSE(w.resultsHidden());
    EXPECT_EQ(w.height(), 257 * 5 / 3);
    EXPECT_TRUE(control<QPushButton>("FindNowButton")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("NewSearchButton")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("StopButton")->isEnabled());
    EXPECT_TRUE(control("FilterPages")->isEnabled());
    EXPECT_TRUE(boxes.empty());

    // Again: the list starts empty and the window does not grow twice.
    named("*.txt");
    control<QCheckBox>("Recurse")->setChecked(false);
    findNow();
    EXPECT_EQ(results()->rowCount(), 0);
    EXPECT_EQ(status(), "0 file(s) found");
    EXPECT_EQ(w.height(), 257 * 5 / 3);

    named("*.TXT"); // letter case ignored
    control<QCheckBox>("Recurse")->setChecked(true);
    findNow();
    ASSERT_EQ(results()->rowCount(), 1);
    EXPECT_EQ(results()->rowTexts(0)[0], "notes.txt");

    control<QPushButton>("NewSearchButton")->click();
    EXPECT_TRUE(w.resultsHidden());
    EXPECT_EQ(w.height(), 257);
    EXPECT_EQ(results()->rowCount(), 0);
    EXPECT_EQ(status(), "");
}

// Each kind beyond the layer table is found by ( All types ) and by its own
// pattern of the Named list, and shows the desktop's type name and an icon.
TEST_F(WindowSearch, the_new_kinds_are_found_by_their_patterns_with_their_type_and_icon) {
    const std::string formats = std::string(KAVREL_DATA_DIR) + "/samples/formats";
    const struct {
        const char* pattern;
        const char* file;
        const char* type;
    } cases[] = {
        {"*.GPKG", "countries.gpkg", "GeoPackage"},
        {"*.GEOJSON", "cities.geojson", "GeoJSON geospatial data"},
        {"*.FGB", "europe_utm33.fgb", "FlatGeobuf"},
        {"*.KML", "cities.kml", "KML geographic data"},
        {"*.KMZ", "south_america.kmz", "KML geographic compressed data"},
        {"*.GML", "central_etrs89.gml", "GML document"},
        {"*.SQLITE", "cities.sqlite", "SQLite3 database"},
        {"*.GDB", "world.gdb", "Esri File Geodatabase"},
        {"*.TIFF", "world.tiff", "TIFF image"},
        {"*.JP2", "world.jp2", "JPEG-2000 JP2 image"},
        {"*.NC", "europe_utm33.nc", "Unidata NetCDF document"},
        {"*.IMG", "world.img", "Erdas Imagine image"},
        {"*.VRT", "world.vrt", "GDAL virtual raster"},
        {"*.ASC", "world.asc", "Esri ASCII grid"},
        {"*.HGT", "N45E007.hgt", "SRTM height tile"},
        {"*.LAS", "cloud_1_2.las", "LAS point cloud"},
        {"*.LAZ", "cloud.laz", "LAZ point cloud"},
        {"*.JPG", "drone_photo.jpg", "JPEG image"},
    };
    open();
    lookIn(formats);
    auto* named = control<QComboBox>("NameComboBox");
    const auto typeOf = [this](const char* file) -> QString {
        for (int r = 0; r < results()->rowCount(); ++r) {
            if (results()->rowTexts(r)[0] == file) {
                const QAbstractItemModel* model = results()->currentView()->model();
                EXPECT_FALSE(model->data(model->index(r, 0), Qt::DecorationRole).isNull()) << file;
                return results()->rowTexts(r)[3];
            }
        }
        return "(not found)";
    };
    named->setCurrentIndex(named->findText("( All types )"));
    findNow();
    for (const auto& c : cases)
        EXPECT_EQ(typeOf(c.file), c.type) << c.file;
    for (const auto& c : cases) {
        const int item = named->findText(c.pattern);
        ASSERT_GE(item, 1) << c.pattern;
        named->setCurrentIndex(item);
        findNow();
        EXPECT_EQ(typeOf(c.file), c.type) << c.pattern;
    }
}

// A pipe and a link to a device named like data files do not hold the
// search up; a name that is not UTF-8 is shown decoded while its row keeps
// the bytes that the drag and the companion programs are handed.
TEST_F(WindowSearch, a_hostile_tree_ends_its_search_and_keeps_names_byte_for_byte) {
    testsupport::TempDir dir;
    const std::string top = std::filesystem::canonical(dir.path()).string();
    ASSERT_EQ(::mkfifo((top + "/pipe.shp").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (top + "/zero.tif").c_str()), 0);
    dir.writeFile("caf\xe9.shp", "x");
    open();
    lookIn(top);
    named("*.*");
    findNow();
    EXPECT_EQ(status(), "3 file(s) found");
    std::vector<std::string> names;
    for (int r = 0; r < results()->rowCount(); ++r) {
        names.push_back(results()->texts(r).name);
        if (names.back() == "caf\xe9.shp") {
            EXPECT_EQ(results()->rowTexts(r)[0], QString::fromUtf8("caf\u00e9.shp"));
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"caf\xe9.shp", "pipe.shp", "zero.tif"}));
}

TEST_F(WindowSearch, empty_name_does_nothing_and_only_a_system_search_needs_the_database) {
    testsupport::TempDir dir;
    dir.writeFile("a.shp");
    auto& w = open();
    lookIn(dir.str());
    named("");
    control<QPushButton>("FindNowButton")->click();
    EXPECT_FALSE(w.searchRunning());
    EXPECT_TRUE(w.resultsHidden());
    window.reset();

    // A database that was there at start-up and is gone at Find Now: the
    // system search says so and does not start; a name search still runs.
    std::filesystem::copy_file(std::string(KAVREL_DATA_DIR) + "/datora.dat", dir / "datora.dat");
    std::string hive = systemHive();
    hive.replace(hive.find(KAVREL_DATA_DIR), std::string(KAVREL_DATA_DIR).size(), dir.str());
    auto& lost = open(hive);
    auto* groups = control<QComboBox>("CoordinateSystemGroup");
    groups->setCurrentIndex(groups->findText("Universal Transverse Mercator (UTM)"));
    ASSERT_GT(groups->currentIndex(), 0);
    std::filesystem::remove(dir / "datora.dat");
    lookIn(dir.str());
    control<QPushButton>("FindNowButton")->click();
    EXPECT_FALSE(lost.searchRunning());
    EXPECT_TRUE(lost.resultsHidden());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error on OpenDatoraDatabase");
    EXPECT_EQ(boxes[0].title, "Atlion Find");

    groups->setCurrentIndex(0); // "( Any )"
    named("*.shp");
    findNow();
    EXPECT_EQ(results()->rowCount(), 1);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(WindowSearch, stop_ends_a_large_search_early_and_restores_the_folder) {
    testsupport::TempDir dir;
    for (int f = 0; f < 200; ++f)
        for (int i = 0; i < 20; ++i)
            dir.writeFile("tree/f" + std::to_string(f) + "/file" + std::to_string(i) + ".dat");
    const auto cwd = std::filesystem::current_path();
    auto& w = open();
    lookIn(dir / "tree");
    named("*.dat");
    control<QPushButton>("FindNowButton")->click();
    ASSERT_TRUE(w.searchRunning());
    EXPECT_FALSE(control("FilterPages")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("StopButton")->isEnabled());
    // The walk waits for the window to hear that it started, so a Stop
    // pressed now ends it after its first entry.
    control<QPushButton>("StopButton")->click();
    EXPECT_TRUE(control("FilterPages")->isEnabled()); // at once
    ASSERT_TRUE(waitForSearch());
    const int found = results()->rowCount();
    EXPECT_LE(found, 1);
    EXPECT_EQ(status(), QString("%1 file(s) found").arg(found));
    EXPECT_TRUE(control<QPushButton>("FindNowButton")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("StopButton")->isEnabled());
    EXPECT_EQ(std::filesystem::current_path(), cwd);
}

TEST_F(WindowSearch, too_deep_a_tree_keeps_its_rows_and_says_so) {
    testsupport::TempDir dir;
    std::string path = "deep";
    for (int level = 0; level < 12; ++level) {
        dir.writeFile(path + "/level" + std::to_string(level) + ".tab");
        path += "/d";
    }
    const auto cwd = std::filesystem::current_path();
    auto& w = open();
    w.setDepthLimit(5);
    lookIn(dir / "deep");
    named("*.tab");
    findNow();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The maximum number of files has been exceeded.");
    EXPECT_EQ(boxes[0].title, "Atlion Find");
    EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONWARNING);
    EXPECT_GE(results()->rowCount(), 5);
    EXPECT_LT(results()->rowCount(), 12);
    EXPECT_EQ(status(), QString("%1 file(s) found").arg(results()->rowCount()));
    EXPECT_TRUE(control<QPushButton>("FindNowButton")->isEnabled());
    EXPECT_EQ(std::filesystem::current_path(), cwd);
}

TEST_F(WindowSearch, closing_during_a_search_ends_it) {
    testsupport::TempDir dir;
    for (int f = 0; f < 100; ++f)
        for (int i = 0; i < 20; ++i)
            dir.writeFile("tree/f" + std::to_string(f) + "/file" + std::to_string(i) + ".dat");
    auto& w = open();
    lookIn(dir / "tree");
    named("*.dat");
    control<QPushButton>("FindNowButton")->click();
    while (w.searchRunning() && results()->rowCount() < 10)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    window.reset(); // must neither hang nor crash
    SUCCEED();
}

TEST_F(WindowSearch, globe_turns_through_fifteen_different_frames_and_wraps) {
    auto& w = open();
    std::vector<QImage> seen;
    for (int tick = 0; tick < 15; ++tick) {
        const int shown = w.globeIndex();
        EXPECT_TRUE(control(QStringLiteral("Globe%1").arg(shown + 1).toLatin1())->isVisible());
        seen.push_back(control<QLabel>(QStringLiteral("Globe%1").arg(shown + 1).toLatin1())
                           ->pixmap()
                           .toImage());
        w.Timer1Timer();
        EXPECT_FALSE(control(QStringLiteral("Globe%1").arg(shown + 1).toLatin1())->isVisible());
    }
    EXPECT_EQ(w.globeIndex(), 0); // after Globe15 comes Globe1
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].size(), QSize(32, 32));
        EXPECT_NE(seen[i], seen[(i + 1) % seen.size()]) << "frame " << i + 1;
    }
    EXPECT_EQ(control<QTimer>("Timer1")->interval(), 150);
}

} // namespace
} // namespace windowtest
