// Start-up, settings, Browse, help and shut-down of the finder window.
#include "window_fixture.h"

#include "DateUtil.h"
#include "pages/name_location_page.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace windowtest {
namespace {

QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList menuCaptions(const QMainWindow& window) {
    QStringList captions;
    for (QAction* menu : window.menuBar()->actions()) {
        captions << menu->text();
        for (QAction* item : menu->menu()->actions())
            captions << "  " + item->text();
    }
    return captions;
}

const QStringList BuiltIn = {"*.ZVL", "*.DGN", "*.DXF", "*.DWG",    "*.MIF",  "*.TAB",     "*.SHP",
                             "*.TIF", "*.BMP", "*.JPG", "*.KPG",    "*.GPKG", "*.GEOJSON", "*.FGB",
                             "*.KML", "*.KMZ", "*.GML", "*.SQLITE", "*.GDB",  "*.TIFF",    "*.JP2",
                             "*.NC",  "*.IMG", "*.VRT", "*.ASC",    "*.HGT",  "*.LAS",     "*.LAZ"};

using WindowStartup = WindowTest;

TEST_F(WindowStartup, opens_compact_with_every_default) {
    auto& w = open();
    EXPECT_EQ(w.windowTitle(), "Atlion Find");
    EXPECT_GE(w.width(), 573); // wider when the page captions need it
    EXPECT_EQ(w.height(), 257);
    EXPECT_EQ(w.compactHeight(), 257);
    EXPECT_TRUE(w.resultsHidden());
    EXPECT_FALSE(control("ResultList")->isVisible());
    EXPECT_FALSE(w.statusBar()->isVisible());

    auto* pages = control<QTabWidget>("FilterPages");
    ASSERT_EQ(pages->count(), 5);
    EXPECT_EQ(pages->tabText(0), "Name && Location");
    EXPECT_EQ(pages->tabText(4), "Advanced");
    // Every page caption is shown whole at the compact size.
    EXPECT_LE(pages->tabBar()->tabRect(4).right(), pages->tabBar()->width());
    EXPECT_EQ(pages->tabBar()->tabAt(pages->tabBar()->tabRect(0).center()), 0);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>("NameComboBox")->currentText(), "( All types )");
    EXPECT_TRUE(control<QCheckBox>("Recurse")->isChecked());

    EXPECT_TRUE(control<QRadioButton>("AllFilesButton")->isChecked());
    for (const char* name : {"FindBetweenRadioButton", "DuringPreviousMonth", "DuringPreviousDay"})
        EXPECT_FALSE(control<QRadioButton>(name)->isChecked()) << name;
    for (const char* name : {"DateMaskStart", "DateMaskEnd", "PrevMonths", "PrevDays"})
        EXPECT_FALSE(control(name)->isEnabled()) << name;
    const auto today = finder::DateUtil::todayUtc();
    const auto back3 = finder::DateUtil::dateBack(3, finder::DateUtil::BackUnit::Months, today);
    EXPECT_EQ(control<QLineEdit>("DateMaskEnd")->text().toStdString(),
              finder::DateUtil::dateText(
                  finder::DateUtil::dosDate(today.year, today.month, today.day), true)
                  .substr(0, 10));
    EXPECT_EQ(control<QLineEdit>("DateMaskStart")->text().toStdString(),
              finder::DateUtil::dateText(back3, true).substr(0, 10));
    EXPECT_EQ(control<QLineEdit>("PrevMonths")->text(), "1");
    EXPECT_EQ(control<QLineEdit>("PrevDays")->text(), "1");

    EXPECT_TRUE(control<QRadioButton>("bInclusive")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("Geodetic")->isChecked());
    EXPECT_FALSE(control("SelectionMap")->isHidden());
    EXPECT_TRUE(control("GroupBox2")->isHidden());
    EXPECT_TRUE(control("GroupBox3")->isHidden());
    EXPECT_FALSE(control("CoordinateSystem")->isEnabled());
    EXPECT_FALSE(control("CoordinateDatum")->isEnabled());
    EXPECT_EQ(control<QComboBox>("AdvancedSize")->currentIndex(), -1);
    EXPECT_EQ(itemsOf(control<QComboBox>("AdvancedSize")),
              (QStringList{"", "at least", "at most"}));
    EXPECT_EQ(control<QLineEdit>("KB")->text(), "0");

    EXPECT_EQ(control<QPushButton>("FindNowButton")->text(), "F&ind Now");
    EXPECT_TRUE(control<QPushButton>("FindNowButton")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("StopButton")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("NewSearchButton")->isEnabled());
    for (int i = 1; i <= 15; ++i)
        EXPECT_EQ(control(QStringLiteral("Globe%1").arg(i).toLatin1())->isVisible(), i == 1);
    EXPECT_EQ(menuCaptions(w), (QStringList{"&File",
                                            "  S&ave Search",
                                            "  Export Footprints...",
                                            "  Export STAC Catalog...",
                                            "  ",
                                            "  E&xit",
                                            "&Edit",
                                            "  Select &All",
                                            "  &Invert Selection",
                                            "&View",
                                            "  Lar&ge Icons",
                                            "  S&mall Icons",
                                            "  &List",
                                            "  &Details",
                                            "  ",
                                            "  Arrange &Icons",
                                            "&Options",
                                            "  Sa&ve Results",
                                            "  Use Footprint Cache",
                                            "&Help",
                                            "  &Help Contents",
                                            "  &About Atlion Find"}));
}

struct NamedCase {
    const char* what;
    std::optional<std::string> formatsLine;
    QStringList patterns; // between "( All types )" and the final empty entry
};

TEST_F(WindowStartup, named_list_follows_supported_formats) {
    const std::vector<NamedCase> cases = {
        {"absent", std::nullopt, BuiltIn},
        {"empty", "\"SupportedFormats\"=\"\"", BuiltIn},
        {"two and a trailing comma", "\"SupportedFormats\"=\"*.TIF,*.SHP,\"", {"*.TIF", "*.SHP"}},
        {"two commas between", "\"SupportedFormats\"=\"*.TIF,,*.SHP\"", {"*.TIF", "", "*.SHP"}},
        {"one pattern", "\"SupportedFormats\"=\"*.GEN\"", {"*.GEN"}},
        {"too long for 260 bytes", "\"SupportedFormats\"=\"" + std::string(300, 'x') + "\"",
         BuiltIn},
    };
    for (const NamedCase& c : cases) {
        open(systemHive(c.formatsLine));
        QStringList expected = QStringList{"( All types )"} + c.patterns + QStringList{""};
        auto* named = control<QComboBox>("NameComboBox");
        EXPECT_EQ(itemsOf(named), expected) << c.what;
        EXPECT_EQ(named->currentIndex(), 0) << c.what;
        window.reset();
    }
}

TEST_F(WindowStartup, database_and_install_folder_come_from_the_registry) {
    auto& w =
        open(systemHive() + "\n[Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kavrel]\n"
                            "@=\"/opt/atlion\"\n");
    EXPECT_EQ(w.databaseFile(), std::string(KAVREL_DATA_DIR) + "/datora.dat");
    EXPECT_EQ(w.installFolder(), "/opt/atlion");
    window.reset();
    auto& bare = open("REGEDIT4\n\n");
    EXPECT_EQ(bare.databaseFile(), "/datora.dat");
    EXPECT_EQ(bare.installFolder(), "");
}

struct OptionsCase {
    const char* what;
    std::optional<unsigned> stored;
    int toggles;
    bool checkedAtStart;
    unsigned written;
};

TEST_F(WindowStartup, save_results_option_is_written_at_shut_down) {
    const std::vector<OptionsCase> cases = {
        {"check and uncheck", 0u, 2, false, 0},
        {"check", 0u, 1, false, 2},
        {"absent value, check", std::nullopt, 1, false, 2},
        {"other bits kept when untouched", 6u, 0, true, 6},
        {"unchecking clears every bit", 7u, 1, true, 0},
        {"bits other than 2 do not check the item", 5u, 0, false, 5},
    };
    for (const OptionsCase& c : cases) {
        open(systemHive(), userHive(c.stored));
        auto* item = window->findChild<QAction*>("SaveResults1");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->isChecked(), c.checkedAtStart) << c.what;
        for (int i = 0; i < c.toggles; ++i)
            item->trigger();
        window.reset();
        EXPECT_EQ(hives->userText(), userHive(c.written)) << c.what;
    }
}

TEST_F(WindowStartup, options_are_not_written_without_the_product_key) {
    open(systemHive(), std::string("REGEDIT4\n\n"));
    window->findChild<QAction*>("SaveResults1")->trigger();
    window.reset();
    EXPECT_EQ(hives->userText(), "REGEDIT4\n\n");
}

struct CacheOptionCase {
    const char* what;
    std::optional<unsigned> stored; // "UseFootprintCache"; none: absent
    int toggles;
    bool checkedAtStart;
    std::optional<unsigned> written; // none: the hive is left as it was
};

TEST_F(WindowStartup, footprint_cache_option_has_its_own_value_beside_options) {
    const std::vector<CacheOptionCase> cases = {
        {"absent: in use, nothing written", std::nullopt, 0, true, std::nullopt},
        {"turned off", std::nullopt, 1, true, 0u},
        {"turned off and on again", std::nullopt, 2, true, std::nullopt},
        {"off stays off", 0u, 0, false, 0u},
        {"turned on", 0u, 1, false, 1u},
    };
    const auto hive = [](const std::optional<unsigned>& value) {
        std::string text = userHive(6); // Options with bits of its own
        if (value) {
            char line[48];
            std::snprintf(line, sizeof line, "\"UseFootprintCache\"=dword:%08x\n", *value);
            text += line;
        }
        return text;
    };
    for (const CacheOptionCase& c : cases) {
        open(systemHive(), hive(c.stored));
        auto* item = window->findChild<QAction*>("UseFootprintCache1");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->isChecked(), c.checkedAtStart) << c.what;
        for (int i = 0; i < c.toggles; ++i)
            item->trigger();
        window.reset();
        EXPECT_EQ(hives->userText(), hive(c.written ? c.written : c.stored)) << c.what;
    }
}

TEST_F(WindowStartup, browse_adds_a_folder_once_and_selects_it) {
    testsupport::TempDir dir;
    const QString folder = QString::fromStdString(dir.makeFolder("Survey Data"));
    open();
    auto* lookIn = control<QComboBox>("DriveComboBox1");
    const int before = lookIn->count();

    pickedFolder.clear(); // cancelled
    control<QPushButton>("BrowseButton")->click();
    EXPECT_EQ(lookIn->count(), before);
    ASSERT_EQ(pickerTitles.size(), 1u);
    EXPECT_EQ(pickerTitles[0], "Select the folder where you want to begin the search.");

    pickedFolder = folder;
    control<QPushButton>("BrowseButton")->click();
    EXPECT_EQ(lookIn->count(), before + 1);
    EXPECT_EQ(lookIn->currentText(), folder);
    EXPECT_EQ(lookIn->currentData(finder::NameLocationPage::LookInPictureRole).toInt(),
              static_cast<int>(platform::DriveKind::Unknown));

    lookIn->setCurrentIndex(0);
    pickedFolder = folder.toUpper(); // letter case ignored
    control<QPushButton>("BrowseButton")->click();
    EXPECT_EQ(lookIn->count(), before + 1);
    EXPECT_EQ(lookIn->currentText(), folder);
}

TEST_F(WindowStartup, look_in_folder_from_the_environment_is_chosen_and_remembered) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv env("KAVREL_LOOK_IN", dir.str());
    open();
    auto* lookIn = control<QComboBox>("DriveComboBox1");
    EXPECT_EQ(lookIn->currentText().toStdString(), dir.str());
    lookIn->setCurrentIndex(0);
    control<QPushButton>("NewSearchButton")->click();
    EXPECT_EQ(lookIn->currentText().toStdString(), dir.str());
}

TEST_F(WindowStartup, help_opens_the_manual_from_menu_and_f1) {
    auto& w = open();
    EXPECT_TRUE(w.helpFile().endsWith("/share/kavrel/kestra.html")) << w.helpFile().toStdString();
    window->findChild<QAction*>("Contents1")->trigger();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(control("KB"), &release);
    ASSERT_EQ(openedUrls.size(), 2u);
    for (const QUrl& url : openedUrls)
        EXPECT_EQ(url, QUrl::fromLocalFile(w.helpFile()));
}

} // namespace
} // namespace windowtest
