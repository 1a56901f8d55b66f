#pragma once
// Date helpers of the finder: the 16-bit MS-DOS date used for every date
// bound and comparison, "date back" for the months/days criteria, parsing of
// the month/day/year texts of the date boxes, and the date text of a file
// time as the results list shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace finder::DateUtil {

// (year - 1980) << 9 | month << 5 | day; compares as an unsigned number.
using DosDate = std::uint16_t;

// A calendar date (year, month 1-12, day 1-31).
struct CivilDate {
    int year = 1980;
    int month = 1;
    int day = 1;
    bool operator==(const CivilDate&) const = default;
};

// Calendar fields of a moment, already in the time zone to be shown.
struct DateTimeFields {
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

enum class BackUnit { Months, Days };
enum class DateTextMode { DateAndTime, DateOnly };

// File times count 100-nanosecond ticks since 1 January 1601 UTC.
using FileTime = std::uint64_t;

DosDate dosDate(int year, int month, int day);
CivilDate civilOfDosDate(DosDate date);

// The date `count` months or days before `today`. Months keep the day,
// clamped to the month's length (February always 28 days); days drop
// whole 365-day years and whole 31-day months and keep the day.
DosDate dateBack(int count, BackUnit unit, CivilDate today);
DosDate dateBack(int count, BackUnit unit); // from todayUtc()

// "MM/DD/YYYY" (shorter than 24 characters, two "/"; each part its leading
// integer, 0 without digits; no range check). nullopt when malformed.
std::optional<DosDate> parseDate(std::string_view text);

// Leading integer as atoi reads it (blanks, sign, digits), saturated to int.
int leadingInteger(std::string_view text);

// "M/D/YYYY " (the blank included), then in DateAndTime mode "H:MM AM"/"PM":
// hour 0 is "12:" AM, 12 is "12:" PM, 13-23 minus 12 PM. zeroPad writes
// month and day with two digits.
std::string formatDateText(const DateTimeFields& fields, DateTextMode mode, bool zeroPad);

// Date text of a file time shown in local time; nullopt when the time cannot
// be converted.
std::optional<std::string> dateText(FileTime time, DateTextMode mode, bool zeroPad);

// Date-only text of a DOS date, no time-zone shift (default date boxes).
std::string dateText(DosDate date, bool zeroPad);

// DOS date of a file time taken as UTC, without a time-zone shift.
DosDate dosDateOfFileTime(FileTime time);

FileTime fileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds = 0);
std::int64_t unixSecondsOfFileTime(FileTime time);

CivilDate todayUtc();
int currentUtcYear();

} // namespace finder::DateUtil
