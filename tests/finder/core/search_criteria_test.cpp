#include "finder/criteria_form.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

using namespace finder;
using DateUtil::dosDate;

const DateUtil::CivilDate kToday{2024, 3, 31};

SearchCriteria build(const CriteriaForm& form, const SearchCriteria& previous = {}) {
    return buildCriteria(form, previous, kToday).criteria;
}

TEST(SearchCriteria, date_mode_sets_one_date_bit_and_its_bounds) {
    CriteriaForm form;
    EXPECT_EQ(build(form).flags & 0x07, 0); // All Files

    form.findAllModified = true;
    form.between = true;
    form.dateStartText = "01/02/1999";
    form.dateEndText = "12/31/1999";
    SearchCriteria c = build(form);
    EXPECT_EQ(c.flags & 0x07, CriteriaFlags::DateBetween);
    EXPECT_EQ(c.startDate, dosDate(1999, 1, 2));
    EXPECT_EQ(c.endDate, dosDate(1999, 12, 31));

    form.between = false;
    form.previousMonths = true;
    form.prevMonthsText = "1";
    c = build(form);
    EXPECT_EQ(c.flags & 0x07, CriteriaFlags::DatePreviousMonths);
    EXPECT_EQ(c.startDate, dosDate(2024, 2, 28));

    form.previousMonths = false;
    form.previousDays = true;
    form.prevDaysText = "10 days";
    c = build(form);
    EXPECT_EQ(c.flags & 0x07, CriteriaFlags::DatePreviousDays);
    EXPECT_EQ(c.startDate, dosDate(2024, 3, 21));
}

TEST(SearchCriteria, modified_without_a_second_choice_falls_back_to_between) {
    CriteriaForm form;
    form.findAllModified = true;
    form.dateStartText = "01/01/2000";
    form.dateEndText = "01/31/2000";
    const BuiltCriteria built = buildCriteria(form, {}, kToday);
    EXPECT_TRUE(built.betweenChosen);
    EXPECT_EQ(built.criteria.flags, CriteriaFlags::DateBetween | CriteriaFlags::LayerTypes);

    form.between = true;
    EXPECT_FALSE(buildCriteria(form, {}, kToday).betweenChosen);
}

TEST(SearchCriteria, unreadable_date_keeps_the_previous_bound) {
    SearchCriteria previous;
    previous.startDate = dosDate(2001, 1, 1);
    previous.endDate = dosDate(2002, 2, 2);
    CriteriaForm form;
    form.findAllModified = true;
    form.between = true;
    form.dateStartText = "2001-05-05";
    form.dateEndText = "06/06/2006";
    const SearchCriteria c = build(form, previous);
    EXPECT_EQ(c.startDate, dosDate(2001, 1, 1));
    EXPECT_EQ(c.endDate, dosDate(2006, 6, 6));
    EXPECT_EQ(build(CriteriaForm{}).startDate, 0); // no previous search
}

TEST(SearchCriteria, other_bits_follow_their_controls) {
    struct Case {
        const char* what;
        void (*edit)(CriteriaForm&);
        std::uint16_t expected;
    } cases[] = {
        {"defaults", [](CriteriaForm&) {}, CriteriaFlags::LayerTypes},
        {"explicit *.*", [](CriteriaForm& f) { f.namedText = "*.*"; }, 0},
        {"case differs", [](CriteriaForm& f) { f.namedText = "( ALL TYPES )"; }, 0},
        {"four corners",
         [](CriteriaForm& f) {
             f.northwestX = "-10";
             f.northwestY = "50";
             f.southeastX = "10";
             f.southeastY = "40";
         },
         CriteriaFlags::Area | CriteriaFlags::LayerTypes},
        {"three corners",
         [](CriteriaForm& f) {
             f.northwestX = "-10";
             f.northwestY = "50";
             f.southeastX = "10";
         },
         CriteriaFlags::LayerTypes},
        {"group", [](CriteriaForm& f) { f.groupName = "UTM"; },
         CriteriaFlags::CoordSysMatch | CriteriaFlags::LayerTypes},
        {"group not filled", [](CriteriaForm& f) { f.groupName = ""; },
         CriteriaFlags::CoordSysMatch | CriteriaFlags::LayerTypes},
        {"size",
         [](CriteriaForm& f) {
             f.sizeMode = SizeMode::AtMost;
             f.kbText = "12KB";
         },
         CriteriaFlags::Size | CriteriaFlags::LayerTypes},
    };
    for (const Case& c : cases) {
        CriteriaForm form;
        c.edit(form);
        EXPECT_EQ(build(form).flags, c.expected) << c.what;
    }
    CriteriaForm form;
    form.sizeMode = SizeMode::AtLeast;
    form.kbText = "12KB";
    EXPECT_EQ(build(form).sizeKB, 12u);
    form.kbText = "none";
    EXPECT_EQ(build(form).sizeKB, 0u);
}

TEST(SearchCriteria, texts_become_typed_values_once) {
    CriteriaForm form;
    EXPECT_EQ(build(form).namePattern, "*.*"); // "( All types )" lists every name
    form.namedText = "*.SHP";
    EXPECT_EQ(build(form).namePattern, "*.SHP");

    const std::pair<int, SizeMode> items[] = {
        {-1, SizeMode::None}, {0, SizeMode::None}, {1, SizeMode::AtLeast}, {2, SizeMode::AtMost}};
    for (auto [index, mode] : items)
        EXPECT_EQ(sizeModeOfItem(index), mode) << index;

    // Corners: degrees when the map is shown or the northwest X looks like a
    // longitude, else the leading plain numbers.
    struct Case {
        std::array<const char*, 4> texts;
        bool mapShown;
        AreaRect area;
        bool inDegrees;
    } cases[] = {
        {{"-10", "50", "10", "40"}, true, {-10, 50, 10, 40}, true},
        {{"10 30 W", "50 N", "10 E", "40 N"}, false, {-10.5, 50, 10, 40}, true},
        {{"500000", "5000000", "600000m", "4000000"}, false, {500000, 5e6, 600000, 4e6}, false},
        {{"abc", "50", "10", "40"}, true, {0, 50, 10, 40}, true},
    };
    for (const Case& c : cases) {
        CriteriaForm f;
        f.northwestX = c.texts[0];
        f.northwestY = c.texts[1];
        f.southeastX = c.texts[2];
        f.southeastY = c.texts[3];
        f.latLonMode = c.mapShown;
        const SearchCriteria built = build(f);
        EXPECT_EQ(built.area, c.area) << c.texts[0];
        EXPECT_EQ(built.areaInDegrees, c.inDegrees) << c.texts[0];
    }
}

TEST(SearchCriteria, look_in_rule_cuts_drive_items_and_keeps_folders_whole) {
    struct Case {
        const char* text;
        LookInKind kind;
        const char* expected;
    } cases[] = {
        {"/media/usb [USB STICK]", LookInKind::Drive, "/media/usb/"},
        {"/ [System]", LookInKind::Drive, "/"},
        {"/home/ann", LookInKind::Drive, "/home/ann/"},
        {"/data/My Maps [old]", LookInKind::Folder, "/data/My Maps [old]"},
        {"/data/My Maps", LookInKind::Folder, "/data/My Maps"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lookInStartFolder(c.text, c.kind), c.expected) << c.text;
}

TEST(SearchCriteria, count_boxes_are_corrected_to_their_limits) {
    const int limit = monthsLimit(2024);
    EXPECT_EQ(limit, 528);
    EXPECT_EQ(daysLimit(2024), 44 * 365);
    struct Case {
        const char* text;
        std::optional<std::string> expected;
    } cases[] = {{"0", "1"},          {"", "1"},      {"abc", "1"},
                 {"-3", "1"},         {"999", "528"}, {"528", std::nullopt},
                 {"12", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(correctedCountText(c.text, limit), c.expected) << '"' << c.text << '"';
}

} // namespace
