#include "DateUtil.h"

#include "hive_env.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

using namespace finder::DateUtil;

struct UtcZone {
    testsupport::ScopedEnv tz{"TZ", "UTC"};
    UtcZone() { tzset(); }
    ~UtcZone() { tzset(); }
};

TEST(DateUtil, months_back_clamps_the_day_to_a_28_day_february) {
    struct Case {
        CivilDate today;
        int months;
        CivilDate expected;
    } cases[] = {
        {{2024, 3, 31}, 1, {2024, 2, 28}}, // leap year: still 28
        {{2024, 3, 31}, 12, {2023, 3, 31}}, {{2024, 1, 15}, 1, {2023, 12, 15}},
        {{2023, 5, 31}, 3, {2023, 2, 28}},  {{2023, 5, 31}, 13, {2022, 4, 30}},
        {{2023, 5, 31}, 0, {2023, 5, 31}},  {{2023, 5, 31}, 25, {2021, 4, 30}},
        {{1981, 2, 10}, 100, {1980, 1, 1}}, // before the first DOS date
    };
    for (const Case& c : cases)
        EXPECT_EQ(civilOfDosDate(dateBack(c.months, BackUnit::Months, c.today)), c.expected)
            << c.today.year << "-" << c.today.month << "-" << c.today.day << " minus " << c.months;
}

TEST(DateUtil, days_back_counts_years_months_and_the_remaining_days) {
    struct Case {
        CivilDate today;
        int days;
        CivilDate expected;
    } cases[] = {
        {{2024, 3, 15}, 0, {2024, 3, 15}},
        {{2024, 3, 15}, 1, {2024, 3, 14}},
        {{2024, 3, 15}, 10, {2024, 3, 5}},
        {{2024, 3, 1}, 1, {2024, 2, 28}},
        {{2024, 3, 15}, 31, {2024, 2, 15}},
        {{2024, 3, 15}, 40, {2024, 2, 6}},  // one 31-day month and 9 days
        {{2024, 3, 31}, 31, {2024, 2, 28}}, // the day clamped to February
        {{2024, 1, 5}, 10, {2023, 12, 26}},
        {{2024, 3, 15}, 365, {2023, 3, 15}},
        {{2024, 3, 15}, 730, {2022, 3, 15}},
        {{2024, 3, 15}, -4, {2024, 3, 15}}, // negative counts as none
    };
    for (const Case& c : cases)
        EXPECT_EQ(civilOfDosDate(dateBack(c.days, BackUnit::Days, c.today)), c.expected)
            << c.days << " days";
}

TEST(DateUtil, parse_date_reads_leading_integers_between_two_slashes) {
    struct Case {
        const char* text;
        std::optional<DosDate> expected;
    } cases[] = {
        {"03/07/1999", dosDate(1999, 3, 7)},
        {"3/7/1999", dosDate(1999, 3, 7)},
        {"12/31/1999 ", dosDate(1999, 12, 31)},
        {"1a/2b/2000xyz", dosDate(2000, 1, 2)},
        {"__/__/____", static_cast<DosDate>((-1980 & 127) << 9)}, // no digits: all 0
        {"01/01/2108", dosDate(1980, 1, 1)},                      // year part modulo 128
        {"1/1/-99999999999", dosDate(2048, 1, 1)}, // saturated to INT_MIN, then modulo 128
        {"01/01", std::nullopt},
        {"", std::nullopt},
        {"1/1/2000                 ", std::nullopt}, // 24 characters or more
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDate(c.text), c.expected) << '"' << c.text << '"';
}

TEST(DateUtil, leading_integer_reads_like_atoi_and_saturates) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {{"42", 42},   {"  7x", 7},
                 {"-3", -3},   {"+5", 5},
                 {"", 0},      {"abc", 0},
                 {"0012", 12}, {"99999999999", INT_MAX},
                 {"- 3", 0},   {"-99999999999", INT_MIN}};
    for (const Case& c : cases)
        EXPECT_EQ(leadingInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(DateUtil, date_text_writes_twelve_hour_clock_with_noon_as_pm) {
    struct Case {
        int hour, minute;
        const char* expected;
    } cases[] = {
        {0, 0, "3/7/1999 12:00 AM"},   {0, 5, "3/7/1999 12:05 AM"},  {9, 5, "3/7/1999 9:05 AM"},
        {11, 59, "3/7/1999 11:59 AM"}, {12, 0, "3/7/1999 12:00 PM"}, {13, 5, "3/7/1999 1:05 PM"},
        {23, 30, "3/7/1999 11:30 PM"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatDateText({1999, 3, 7, c.hour, c.minute}, DateTextMode::DateAndTime, false),
                  c.expected);
}

TEST(DateUtil, date_only_text_pads_month_and_day_but_never_the_year) {
    EXPECT_EQ(formatDateText({1999, 3, 7, 9, 5}, DateTextMode::DateOnly, true), "03/07/1999 ");
    EXPECT_EQ(formatDateText({1999, 11, 17, 9, 5}, DateTextMode::DateOnly, false), "11/17/1999 ");
    EXPECT_EQ(formatDateText({812, 3, 7, 9, 5}, DateTextMode::DateOnly, true), "03/07/812 ");
    EXPECT_EQ(dateText(dosDate(2004, 2, 9), true), "02/09/2004 ");
}

TEST(DateUtil, file_time_text_is_shown_in_local_time) {
    UtcZone utc;
    // 7 March 1999 09:05:30 UTC.
    const FileTime time = fileTimeFromUnix(920797530);
    EXPECT_EQ(dateText(time, DateTextMode::DateAndTime, false), "3/7/1999 9:05 AM");
    {
        testsupport::ScopedEnv tz("TZ", "EST5");
        tzset();
        EXPECT_EQ(dateText(time, DateTextMode::DateAndTime, false), "3/7/1999 4:05 AM");
    }
    tzset();
}

TEST(DateUtil, dos_date_of_a_file_time_ignores_the_time_zone) {
    testsupport::ScopedEnv tz("TZ", "JST-9");
    tzset();
    // 23:30 UTC on 31 December 1999 is already 1 January in Tokyo.
    const FileTime lateEvening = fileTimeFromUnix(946683000);
    EXPECT_EQ(dosDateOfFileTime(lateEvening), dosDate(1999, 12, 31));
    EXPECT_EQ(dosDateOfFileTime(fileTimeFromUnix(0)), dosDate(1980, 1, 1));
    tzset();
}

} // namespace
