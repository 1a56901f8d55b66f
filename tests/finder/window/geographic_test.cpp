// The geographic criteria in the real window: the corner boxes' leave checks,
// the three coordinate-system lists (beside what kavrel-find prints for the
// same choices), and searches of the sample data by area and by system.
#include "window_fixture.h"

#include "hive_env.h"

#include "finder/coords/coordsys_pickers.h"
#include "results/result_list.h"
#include "temp_dir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace windowtest {
namespace {

using Texts = std::vector<std::string>;

const std::string kAny = "( Any )";
const std::string kUtm = "Universal Transverse Mercator (UTM)";
const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";
constexpr int GeographicAreaPage = 2;

// Lines kavrel-find prints for `args`; the exit status goes to `status`.
// The program starts with the desktop's own MIME folders only, as from a
// shell: it must put its own first, as the window does.
Texts kavrelFindLines(const Texts& args, int& status) {
    std::string command = "XDG_DATA_DIRS=/usr/local/share:/usr/share " +
                          std::string(KAVREL_BUILD_DIR) + "/bin/kavrel-find";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " 2>/dev/null";
    Texts out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

Texts items(const QComboBox* list) {
    Texts texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->itemText(i).toStdString());
    return texts;
}

class WindowGeographic : public WindowTest {
protected:
    QTabWidget* pages() { return control<QTabWidget>("FilterPages"); }

    // Corner boxes shown, on their page, with the focus in `box`.
    QLineEdit* enterCorner(const char* name, const QString& text) {
        pages()->setCurrentIndex(GeographicAreaPage);
        if (control<QCheckBox>("Geodetic")->isChecked())
            control<QCheckBox>("Geodetic")->click();
        auto* box = control<QLineEdit>(name);
        box->setFocus(Qt::TabFocusReason);
        box->setText(text);
        return box;
    }
    void leaveTo(const char* name) { control(name)->setFocus(Qt::TabFocusReason); }

    // What the user does by picking an item of a drop-down list.
    void choose(const char* listName, const std::string& text) {
        auto* list = control<QComboBox>(listName);
        const int index = list->findText(QString::fromStdString(text));
        ASSERT_GE(index, 0) << text << " is not in " << listName;
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    Texts foundNames() {
        auto* results = control<finder::ResultList>("ResultList");
        Texts names;
        for (int r = 0; r < results->rowCount(); ++r)
            names.push_back(results->rowTexts(r)[0].toStdString());
        std::sort(names.begin(), names.end());
        return names;
    }
    void search(const std::string& folder, const QString& pattern = "*.*") {
        pickedFolder = QString::fromStdString(folder);
        control<QPushButton>("BrowseButton")->click();
        control<QComboBox>("NameComboBox")->setEditText(pattern);
        control<QPushButton>("FindNowButton")->click();
        ASSERT_TRUE(waitForSearch());
    }
};

TEST_F(WindowGeographic, leaving_a_corner_box_checks_its_text) {
    open();
    struct Case {
        const char* box;
        const char* text;
        std::string message; // empty: accepted without a box
        const char* selected;
    };
    const std::string latLon = "Invalid Lat-Lon format:\n";
    const std::string number = "Invalid number format! ";
    const Case cases[] = {
        {"NorthwestX", "0", "", ""},
        {"NorthwestX", "200", "", ""},
        {"NorthWestY", "95", "", ""},
        {"SoutheastX", "-", "", ""},
        {"SoutheastY", "+", "", ""},
        {"NorthWestY", ".", "", ""},
        {"NorthwestX", "abc", number, "abc"},
        {"SoutheastY", "12abc", latLon, "12abc"}, // a small leading number: lat/lon
        {"SoutheastX", "1e3", number, "1e3"},
        {"NorthWestY", "-95 30", latLon + "latitude degrees must be between -90 and +90 inclusive.",
         "95 30"},
        {"SoutheastX", "190 30",
         latLon + "longitude degrees must be between -180 and +180 inclusive.", "190 30"},
        {"SoutheastY", "45 75", latLon + "minutes must be between 0 and 60! ", " 75"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " \"" + c.text + "\"");
        boxes.clear();
        QLineEdit* box = enterCorner(c.box, c.text);
        pages()->setCurrentIndex(GeographicAreaPage);
        leaveTo("bIntersection");
        if (c.message.empty()) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(QApplication::focusWidget(), control("bIntersection"));
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].title, "Geographic Area Error");
        EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONERROR);
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_EQ(box->selectedText(), c.selected);
        EXPECT_EQ(box->selectionEnd(), box->text().size());
        EXPECT_EQ(box->text(), c.text); // never rewritten
        box->clear();                   // an empty box passes
        leaveTo("bIntersection");
        EXPECT_EQ(boxes.size(), 1u);
    }
}

TEST_F(WindowGeographic, a_failed_check_is_reported_once_per_leave_and_brings_its_page_back) {
    open();
    // Two wrong boxes: giving the focus back to the first must not check the
    // second, which the focus only passed through.
    QLineEdit* first = enterCorner("NorthwestX", "abc");
    auto* second = control<QLineEdit>("NorthWestY");
    second->setText("xyz");
    leaveTo("NorthWestY");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(first->selectedText(), "abc");

    // Each leave checks again; a corrected box lets the focus go.
    leaveTo("NorthWestY");
    EXPECT_EQ(boxes.size(), 2u);
    first->setText("10");
    leaveTo("NorthWestY");
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(QApplication::focusWidget(), second);

    // Leaving by another page: the area page comes back with the box selected.
    pages()->setCurrentIndex(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, "Invalid number format! ");
    EXPECT_EQ(pages()->currentIndex(), GeographicAreaPage);
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(second->selectedText(), "xyz");
}

// The window's lists after each choice equal what kavrel-find prints for the
// same choices; the change handlers' re-selection rules hold.
TEST_F(WindowGeographic, pickers_hold_what_kavrel_find_lists_and_follow_the_choices) {
    auto& w = open();
    auto* groups = control<QComboBox>("CoordinateSystemGroup");
    auto* systems = control<QComboBox>("CoordinateSystem");
    auto* datums = control<QComboBox>("CoordinateDatum");
    int status = -1;
    const Texts listedGroups = kavrelFindLines({"--list-groups"}, status);
    ASSERT_EQ(status, 0);
    ASSERT_GT(listedGroups.size(), 2u);
    EXPECT_EQ(items(groups), listedGroups);
    EXPECT_EQ(listedGroups, finder::listPickerTexts(w.databaseFile()).texts.groups);
    EXPECT_EQ(items(systems), Texts{kAny});
    EXPECT_EQ(items(datums), Texts{kAny});
    EXPECT_FALSE(systems->isEnabled());
    EXPECT_FALSE(datums->isEnabled());
    EXPECT_EQ(w.databaseHandle(), nullptr); // closed after the fill

    choose("CoordinateSystemGroup", kUtm);
    EXPECT_EQ(items(systems), kavrelFindLines({"--list-systems", kUtm}, status));
    EXPECT_EQ(status, 0);
    EXPECT_GT(systems->count(), 10);
    EXPECT_TRUE(systems->isEnabled());
    EXPECT_EQ(systems->currentIndex(), 0);
    EXPECT_FALSE(datums->isEnabled());

    choose("CoordinateSystem", "UTM zone 33N");
    const Texts listedDatums = kavrelFindLines({"--list-datums", kUtm, "UTM zone 33N"}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(items(datums), listedDatums);
    EXPECT_NE(std::find(listedDatums.begin(), listedDatums.end(), "ETRS89"), listedDatums.end());
    EXPECT_TRUE(datums->isEnabled());
    EXPECT_EQ(w.databaseHandle(), nullptr);

    // The loaded group chosen again reloads nothing; the same system chosen
    // again reloads its datums.
    datums->setCurrentIndex(2);
    choose("CoordinateSystemGroup", kUtm);
    EXPECT_EQ(systems->currentText().toStdString(), "UTM zone 33N");
    EXPECT_EQ(datums->currentIndex(), 2);
    choose("CoordinateSystem", "UTM zone 33N");
    EXPECT_EQ(datums->currentIndex(), 0);
    EXPECT_EQ(items(datums), listedDatums);

    // "( Any )" as system disables the datums only; as group, both at once.
    choose("CoordinateSystem", kAny);
    EXPECT_FALSE(datums->isEnabled());
    EXPECT_EQ(items(datums), listedDatums);
    choose("CoordinateSystemGroup", kAny);
    EXPECT_FALSE(systems->isEnabled());
    EXPECT_EQ(systems->currentIndex(), 0);
    EXPECT_EQ(datums->currentIndex(), 0);
    EXPECT_EQ(systems->count(), static_cast<int>(items(systems).size()));

    // New Search selects item 0 everywhere and runs no handler.
    choose("CoordinateSystemGroup", kUtm);
    choose("CoordinateSystem", "UTM zone 33N");
    control<QPushButton>("NewSearchButton")->click();
    EXPECT_EQ(groups->currentIndex(), 0);
    EXPECT_EQ(systems->currentIndex(), 0);
    EXPECT_EQ(datums->currentIndex(), 0);
    EXPECT_TRUE(systems->isEnabled());
    EXPECT_EQ(items(datums), listedDatums);
    EXPECT_TRUE(boxes.size() == 1u && boxes[0].title == "Atlion Find"); // the question only
}

TEST_F(WindowGeographic, without_the_database_the_lists_stay_empty) {
    testsupport::TempDir empty;
    const std::string hive =
        "REGEDIT4\n\n[Software\\Quorvane Geo]\n\"DataBasePath\"=\"" + empty.str() + "\"\n";
    open(hive);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error on OpenDatoraDatabase");
    EXPECT_EQ(boxes[0].title, "Atlion Find");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONERROR);
    for (const char* list : {"CoordinateSystemGroup", "CoordinateSystem", "CoordinateDatum"})
        EXPECT_EQ(control<QComboBox>(list)->count(), 0) << list;
}

TEST_F(WindowGeographic, searches_the_samples_by_area_and_by_system) {
    open();
    // Roughly Europe, read as degrees because the map is shown: projected
    // files are judged by their extent in degrees.
    for (auto [name, text] : {std::pair{"NorthwestX", "-40"}, std::pair{"NorthWestY", "75"},
                              std::pair{"SoutheastX", "70"}, std::pair{"SoutheastY", "30"}})
        control<QLineEdit>(name)->setText(text);
    search(kSamples);
    EXPECT_TRUE(window->lastCriteria().areaInDegrees);
    EXPECT_EQ(foundNames(), (Texts{"N45E007.hgt", "central_etrs89.gml", "central_etrs89.shp",
                                   "cloud.laz", "cloud_1_2.las", "cloud_1_4.las", "drone_photo.jpg",
                                   "europe_utm33.fgb", "europe_utm33.mif", "europe_utm33.nc",
                                   "europe_utm33.shp", "europe_utm33.tif"}));
    control<QRadioButton>("bExclusive")->click();
    search(kSamples);
    EXPECT_EQ(foundNames(), (Texts{"South America.tab", "europe.dgn", "new_york_stateplane.shp",
                                   "south_america.kmz", "us_cities.shp"}));
    EXPECT_EQ(window->databaseHandle(), nullptr);

    // The same texts typed as plain numbers compare with the files' own
    // coordinates: no metre-based extent lies inside a box of such numbers.
    control<QCheckBox>("Geodetic")->click();
    control<QRadioButton>("bInclusive")->click();
    for (auto [name, text] : {std::pair{"NorthwestX", "-400"}, std::pair{"NorthWestY", "75"}})
        control<QLineEdit>(name)->setText(text);
    search(kSamples);
    EXPECT_FALSE(window->lastCriteria().areaInDegrees);
    for (const std::string& found : foundNames())
        EXPECT_EQ(found.find("utm33"), std::string::npos) << found;

    // By coordinate system only.
    for (const char* name : {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"})
        control<QLineEdit>(name)->clear();
    choose("CoordinateSystemGroup", kUtm);
    choose("CoordinateSystem", "UTM zone 33N");
    choose("CoordinateDatum", "ETRS89");
    search(kSamples);
    EXPECT_EQ(foundNames(), (Texts{"central_etrs89.gml", "central_etrs89.shp"}));
    choose("CoordinateDatum", "WGS84");
    search(kSamples);
    // The GeoPackage holds a layer in UTM 33N beside one in degrees.
    EXPECT_EQ(foundNames(), (Texts{"cloud_1_2.las", "cloud_1_4.las", "countries.gpkg",
                                   "europe_utm33.fgb", "europe_utm33.mif", "europe_utm33.nc",
                                   "europe_utm33.shp", "europe_utm33.tif"}));
}

TEST_F(WindowGeographic, kavrel_find_prints_the_windows_rows_text_for_text) {
    open();
    const auto windowRows = [this] {
        auto* results = control<finder::ResultList>("ResultList");
        Texts rows;
        for (int r = 0; r < results->rowCount(); ++r)
            rows.push_back(results->rowTexts(r).join('\t').toStdString());
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const auto cliRows = [](const Texts& args) {
        int status = -1;
        Texts rows = kavrelFindLines(args, status);
        EXPECT_EQ(status, 0);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    // Every file of a known type, then every file, then an area.
    search(kSamples, "( All types )");
    const Texts all = windowRows();
    EXPECT_GE(all.size(), 10u);
    EXPECT_EQ(all, cliRows({"--look-in", kSamples}));
    search(kSamples, "*.*");
    EXPECT_EQ(windowRows(), cliRows({"--look-in", kSamples, "--named", "*.*"}));
    // Two clicks on Size order the rows as --sort size --descending does.
    auto* results = control<finder::ResultList>("ResultList");
    results->OnHeaderClick(finder::kSizeColumn);
    results->OnHeaderClick(finder::kSizeColumn);
    Texts inOrder;
    for (int r = 0; r < results->rowCount(); ++r)
        inOrder.push_back(results->rowTexts(r).join('\t').toStdString());
    int status = -1;
    EXPECT_EQ(inOrder, kavrelFindLines({"--look-in", kSamples, "--named", "*.*", "--sort", "size",
                                        "--descending"},
                                       status));
    for (auto [name, text] : {std::pair{"NorthwestX", "-40"}, std::pair{"NorthWestY", "75"},
                              std::pair{"SoutheastX", "70"}, std::pair{"SoutheastY", "30"}})
        control<QLineEdit>(name)->setText(text);
    search(kSamples);
    EXPECT_EQ(windowRows(), cliRows({"--look-in", kSamples, "--named", "*.*", "--area", "-40", "75",
                                     "70", "30", "--lat-lon"}));
}

TEST_F(WindowGeographic, a_search_that_fails_says_why_in_a_box_and_in_the_status_line) {
    const testsupport::ScopedEnv noCache("KAVREL_CACHE", "off");
    const testsupport::ScopedEnv failing("KAVREL_TEST_FAIL_READING", "countries.shp");
    open();
    for (auto [name, text] : {std::pair{"NorthwestX", "-180"}, std::pair{"NorthWestY", "90"},
                              std::pair{"SoutheastX", "180"}, std::pair{"SoutheastY", "-90"}})
        enterCorner(name, text);
    search(kSamples);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("The search failed: ", 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("countries.shp"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].title, "Atlion Find");
    EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONERROR);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(), boxes[0].text);
    EXPECT_TRUE(control<QPushButton>("FindNowButton")->isEnabled());
}

// ".mif" is claimed by MapInfo and by FrameMaker: each file's content decides,
// whichever of the two the search meets first.
TEST_F(WindowGeographic, type_of_an_ambiguous_extension_follows_the_content) {
    testsupport::TempDir dir;
    namespace fs = std::filesystem;
    for (const char* part : {".mif", ".mid"})
        fs::copy_file(kSamples + "/world/cities" + part, dir / (std::string("b_cities") + part));
    dir.writeFile("a_frame.mif", "<MIFFile 7.00> # Generated by FrameMaker\n<Units Uin>\n");
    dir.writeFile("c_frame.mif", "<MIFFile 9.00>\n");
    open();
    search(dir.str(), "*.mif");
    auto* results = control<finder::ResultList>("ResultList");
    ASSERT_EQ(results->rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        const QStringList row = results->rowTexts(r);
        if (row[0] == "b_cities.mif")
            EXPECT_EQ(row[3], "MapInfo Interchange File");
        else
            EXPECT_NE(row[3], "MapInfo Interchange File") << row[0].toStdString();
    }
}

} // namespace
} // namespace windowtest
