#include "DateUtil.h"

#include <platform/find_file.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

namespace finder::DateUtil {
namespace {

// February always has 28 days here, leap years included.
constexpr int MonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// 100-ns ticks between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

int monthLength(int month) {
    return MonthLengths[std::clamp(month, 1, 12) - 1];
}

// Lowest and highest dates a DOS date can hold.
DosDate clampedDosDate(int year, int month, int day) {
    if (year < 1980)
        return dosDate(1980, 1, 1);
    if (year > 2107)
        return dosDate(2107, 12, 31);
    return dosDate(year, month, day);
}

// Moves the date back by `months` whole months (0-11), wrapping the year.
void stepBackMonths(CivilDate& date, int months) {
    date.month -= months;
    if (date.month < 1) {
        date.month += 12;
        date.year -= 1;
    }
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

DosDate dosDate(int year, int month, int day) {
    return static_cast<DosDate>(((year - 1980) << 9) | (month << 5) | day);
}

CivilDate civilOfDosDate(DosDate date) {
    return CivilDate{1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F};
}

DosDate dateBack(int count, BackUnit unit, CivilDate today) {
    count = std::max(count, 0);
    CivilDate date = today;
    if (unit == BackUnit::Months) {
        date.year -= count / 12;
        stepBackMonths(date, count % 12);
        date.day = std::min(date.day, monthLength(date.month));
        return clampedDosDate(date.year, date.month, date.day);
    }
    date.year -= count / 365;
    stepBackMonths(date, count % 365 / 31);
    date.day = std::min(date.day, monthLength(date.month));
    // The days left below a whole 31-day month are counted back one by one,
    // so that "the previous 10 days" starts 10 days ago and not today.
    for (int remaining = count % 365 % 31; remaining > 0; --remaining) {
        if (--date.day < 1) {
            stepBackMonths(date, 1);
            date.day = monthLength(date.month);
        }
    }
    return clampedDosDate(date.year, date.month, date.day);
}

DosDate dateBack(int count, BackUnit unit) {
    return dateBack(count, unit, todayUtc());
}

int leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
            break;
        }
    }
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min<long long>(value, INT_MAX));
}

std::optional<DosDate> parseDate(std::string_view text) {
    if (text.size() >= 24)
        return std::nullopt;
    const auto first = text.find('/');
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto second = text.find('/', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const int month = leadingInteger(text.substr(0, first));
    const int day = leadingInteger(text.substr(first + 1, second - first - 1));
    const int year = leadingInteger(text.substr(second + 1));
    // Kept to 16 bits as the date boxes have always stored it: no range check.
    // Unsigned arithmetic, so a saturated year wraps instead of overflowing.
    const unsigned raw = ((static_cast<unsigned>(year) - 1980u) << 9) |
                         (static_cast<unsigned>(month) << 5) | static_cast<unsigned>(day);
    return static_cast<DosDate>(raw & 0xFFFF);
}

std::string formatDateText(const DateTimeFields& f, DateTextMode mode, bool zeroPad) {
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, zeroPad ? "%02d/%02d/%d " : "%d/%d/%d ",
                               f.month, f.day, f.year);
    std::string text(buffer, static_cast<std::size_t>(std::max(length, 0)));
    if (mode == DateTextMode::DateOnly)
        return text;
    int hour = f.hour;
    const char* suffix = hour >= 12 ? " PM" : " AM";
    if (hour == 0)
        hour = 12;
    else if (hour > 12)
        hour -= 12;
    length = std::snprintf(buffer, sizeof buffer, "%d:%02d%s", hour, f.minute, suffix);
    text.append(buffer, static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

std::optional<std::string> dateText(FileTime time, DateTextMode mode, bool zeroPad) {
    const std::time_t seconds = static_cast<std::time_t>(unixSecondsOfFileTime(time));
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr)
        return std::nullopt;
    const DateTimeFields fields{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min};
    return formatDateText(fields, mode, zeroPad);
}

std::string dateText(DosDate date, bool zeroPad) {
    const CivilDate civil = civilOfDosDate(date);
    return formatDateText(DateTimeFields{civil.year, civil.month, civil.day, 0, 0},
                          DateTextMode::DateOnly, zeroPad);
}

DosDate dosDateOfFileTime(FileTime time) {
    const std::time_t seconds = static_cast<std::time_t>(unixSecondsOfFileTime(time));
    std::tm utc{};
    if (gmtime_r(&seconds, &utc) == nullptr)
        return 0;
    return clampedDosDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday);
}

FileTime fileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    return platform::fileTimeFromUnix(seconds, nanoseconds);
}

std::int64_t unixSecondsOfFileTime(FileTime time) {
    const std::int64_t ticks =
        time > static_cast<FileTime>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(time);
    const std::int64_t relative = ticks - kUnixEpochTicks;
    // Round towards earlier times so that a moment before 1970 keeps its date.
    return relative >= 0 ? relative / kTicksPerSecond
                         : -((-relative + kTicksPerSecond - 1) / kTicksPerSecond);
}

CivilDate todayUtc() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (gmtime_r(&now, &utc) == nullptr)
        return CivilDate{};
    return CivilDate{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
}

int currentUtcYear() {
    return todayUtc().year;
}

} // namespace finder::DateUtil
