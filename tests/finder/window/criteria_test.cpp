// The criteria controls of the finder window: date enable rules, the limits of
// the month and day counts, the area-mode picture, New Search and the layout.
#include "window_fixture.h"

#include "map/window_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace windowtest {
namespace {

using WindowCriteria = WindowTest;

struct EnableCase {
    std::vector<const char*> clicks;
    const char* checkedSecond; // the second-group button checked after the clicks
    bool dates, months, days;
};

TEST_F(WindowCriteria, date_controls_follow_the_enable_rules) {
    const std::vector<EnableCase> cases = {
        {{}, nullptr, false, false, false},
        {{"FindAllModifiedButton"}, "FindBetweenRadioButton", true, false, false},
        {{"DuringPreviousMonth"}, "DuringPreviousMonth", false, true, false},
        {{"DuringPreviousDay"}, "DuringPreviousDay", false, false, true},
        {{"DuringPreviousDay", "AllFilesButton"}, "DuringPreviousDay", false, false, false},
        {{"DuringPreviousDay", "AllFilesButton", "FindAllModifiedButton"},
         "DuringPreviousDay",
         false,
         false,
         true},
        {{"DuringPreviousMonth", "FindBetweenRadioButton"},
         "FindBetweenRadioButton",
         true,
         false,
         false},
    };
    for (const EnableCase& c : cases) {
        open();
        control<QTabWidget>("FilterPages")->setCurrentIndex(1);
        std::string trail;
        for (const char* name : c.clicks) {
            control<QRadioButton>(name)->click();
            trail += std::string(name) + " ";
        }
        if (c.checkedSecond) {
            EXPECT_TRUE(control<QRadioButton>(c.checkedSecond)->isChecked()) << trail;
            EXPECT_TRUE(control<QRadioButton>("FindAllModifiedButton")->isChecked() ||
                        control<QRadioButton>("AllFilesButton")->isChecked())
                << trail;
        }
        EXPECT_EQ(control("DateMaskStart")->isEnabled(), c.dates) << trail;
        EXPECT_EQ(control("DateMaskEnd")->isEnabled(), c.dates) << trail;
        EXPECT_EQ(control("PrevMonths")->isEnabled(), c.months) << trail;
        EXPECT_EQ(control("PrevMonthsSpin")->isEnabled(), c.months) << trail;
        EXPECT_EQ(control("PrevDays")->isEnabled(), c.days) << trail;
        EXPECT_EQ(control("PrevDaysSpin")->isEnabled(), c.days) << trail;
        window.reset();
    }
}

TEST_F(WindowCriteria, month_and_day_counts_stay_within_their_limits) {
    open();
    const int year = finder::DateUtil::currentUtcYear();
    const QString monthsLimit = QString::number((year - 1980) * 12);
    struct Typed {
        const char* box;
        const char* keys;
        QString expected;
    };
    const std::vector<Typed> cases = {
        {"PrevMonths", "0", "1"},     {"PrevMonths", "999", monthsLimit},
        {"PrevMonths", "12", "12"},   {"PrevMonths", "x", "1"},
        {"PrevDays", "999", "999"},   {"PrevDays", "0", "1"},
        {"PrevDays", "12345", "123"}, // three characters can be typed
    };
    for (const Typed& c : cases) {
        control<QRadioButton>(c.box == std::string("PrevMonths") ? "DuringPreviousMonth"
                                                                 : "DuringPreviousDay")
            ->click();
        auto* box = control<QLineEdit>(c.box);
        box->selectAll();
        QTest::keyClicks(box, c.keys);
        EXPECT_EQ(box->text(), c.expected) << c.box << " typed " << c.keys;
    }
    // The spin buttons go past three characters up to the days limit.
    auto* days = control<QLineEdit>("PrevDays");
    days->setText("990");
    const auto arrows = control("PrevDaysSpin")->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    for (int i = 0; i < 20; ++i)
        arrows[0]->click();
    EXPECT_EQ(days->text(), "1010");
}

TEST_F(WindowCriteria, area_picture_shows_the_mode_across_resizing) {
    open();
    auto* back = control<QLabel>("BackIcon");
    auto* fore = control<QLabel>("ForeIcon");
    struct ModeCase {
        const char* button;
        QPoint offset;
    };
    for (const ModeCase& c :
         {ModeCase{"bExclusive", {34, -16}}, ModeCase{"bIntersection", {12, -12}},
          ModeCase{"bInclusive", {0, 0}}, ModeCase{"bExclusive", {34, -16}}}) {
        control<QRadioButton>(c.button)->click();
        EXPECT_EQ(fore->pos() - back->pos(), c.offset) << c.button;
        window->resize(window->width() + 97, window->height());
        QCoreApplication::processEvents();
        EXPECT_EQ(fore->pos() - back->pos(), c.offset) << c.button << " after a resize";
    }
}

TEST_F(WindowCriteria, lat_lon_switch_shows_corners_or_map) {
    open();
    control<QLineEdit>("NorthwestX")->setText("-10.5");
    auto* geodetic = control<QCheckBox>("Geodetic");
    geodetic->click();
    EXPECT_FALSE(control("GroupBox2")->isHidden());
    EXPECT_FALSE(control("GroupBox3")->isHidden());
    EXPECT_TRUE(control("SelectionMap")->isHidden());
    geodetic->click();
    EXPECT_TRUE(control("GroupBox2")->isHidden());
    EXPECT_FALSE(control("SelectionMap")->isHidden());
    EXPECT_EQ(control<QLineEdit>("NorthwestX")->text(), "-10.5");
}

TEST_F(WindowCriteria, new_search_restores_defaults_only_after_ok) {
    open();
    auto* named = control<QComboBox>("NameComboBox");
    auto* lookIn = control<QComboBox>("DriveComboBox1");
    const int defaultLookIn = lookIn->currentIndex();
    const auto change = [&] {
        named->setEditText("*.SHP");
        lookIn->setCurrentIndex(defaultLookIn == 0 ? lookIn->count() - 1 : 0);
        control<QCheckBox>("Recurse")->setChecked(false);
        control<QRadioButton>("DuringPreviousMonth")->click();
        control<QLineEdit>("PrevMonths")->setText("7");
        control<QCheckBox>("Geodetic")->click();
        control<QLineEdit>("SoutheastY")->setText("45");
        control<QRadioButton>("bIntersection")->click();
        control<QComboBox>("AdvancedSize")->setCurrentIndex(1);
        control<QLineEdit>("KB")->setText("300");
    };
    change();
    answer = platform::IDCANCEL;
    control<QPushButton>("NewSearchButton")->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "This will clear your current search.");
    EXPECT_EQ(boxes[0].title, "Atlion Find");
    EXPECT_EQ(boxes[0].style, platform::MB_OKCANCEL | platform::MB_ICONQUESTION);
    EXPECT_EQ(named->currentText(), "*.SHP");
    EXPECT_EQ(control<QLineEdit>("KB")->text(), "300");

    answer = platform::IDOK;
    control<QPushButton>("NewSearchButton")->click();
    EXPECT_EQ(named->currentText(), "( All types )");
    EXPECT_EQ(named->currentIndex(), 0);
    EXPECT_EQ(lookIn->currentIndex(), defaultLookIn);
    EXPECT_TRUE(control<QCheckBox>("Recurse")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("AllFilesButton")->isChecked());
    EXPECT_FALSE(control("PrevMonths")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("PrevMonths")->text(), "7");  // counts keep their text
    EXPECT_FALSE(control<QCheckBox>("Geodetic")->isChecked()); // the switch is not reset
    EXPECT_EQ(control<QLineEdit>("SoutheastY")->text(), "");
    EXPECT_TRUE(control<QRadioButton>("bInclusive")->isChecked());
    EXPECT_EQ(control<QComboBox>("AdvancedSize")->currentIndex(), -1);
    EXPECT_EQ(control<QLineEdit>("KB")->text(), ""); // emptied, not "0"
}

TEST_F(WindowCriteria, typed_pattern_joins_the_named_list_once) {
    open();
    auto* named = control<QComboBox>("NameComboBox");
    const int before = named->count();
    const auto typeAndLeave = [named](const QString& text) {
        named->setEditText(text);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(named->lineEdit(), &leave);
    };
    typeAndLeave("*.GEN");
    EXPECT_EQ(named->count(), before + 1);
    EXPECT_EQ(named->itemText(before), "*.GEN");
    typeAndLeave("*.gen"); // already there, letter case ignored
    typeAndLeave("*.shp"); // one of the built-in patterns
    EXPECT_EQ(named->count(), before + 1);
}

TEST(WindowLayout, follows_the_page_width_and_never_goes_negative) {
    finder::LayoutInput in;
    in.windowWidth = 573;
    in.clientHeight = 400;
    in.eastWestLabelWidth = 60;
    in.areaMode = finder::AreaMode::Exclusive;
    const finder::WindowLayout l = finder::computeWindowLayout(in);
    EXPECT_EQ(l.filterPagesWidth, 458);
    EXPECT_EQ(l.buttonsLeft, 8 + 458 + 16);
    EXPECT_EQ(l.namedWidth, 305);  // 458 x 0.667 = 305.486
    EXPECT_EQ(l.lookInWidth, 174); // 458 x 0.38 = 174.04
    EXPECT_EQ(l.browseLeft, 76 + 174 + 18);
    EXPECT_EQ(l.groupBox1Width, 380);  // 458 x 0.83 = 380.14
    EXPECT_EQ(l.pickerWidth, 265);     // 458 x 0.58 = 265.64
    EXPECT_EQ(l.cornerEditWidth, 160); // 458 x 0.35 = 160.3
    EXPECT_EQ(l.cornerLabelLeft, 56 + 160 + 12);
    EXPECT_EQ(l.areaWidth, 228 + 60 + 39);
    EXPECT_EQ(l.backIcon, QPoint(16 + 327 + 36, 85));
    EXPECT_EQ(l.foreIcon, l.backIcon + QPoint(34, -16));
    EXPECT_EQ(l.areaControlsLeft, 16 + 327 + 20);
    EXPECT_EQ(l.resultList, QRect(0, 224, 565, 176));
    EXPECT_EQ(l.globeLeft, 482 + 21);

    in.clientHeight = 150; // no room for the list
    EXPECT_EQ(finder::computeWindowLayout(in).resultList.height(), 0);
}

} // namespace
} // namespace windowtest
