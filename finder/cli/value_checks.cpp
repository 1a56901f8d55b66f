// Range checks of kavrel-find's option values, with one message each.
#include "value_checks.h"

#include <finder/coords/corner_entry.h>
#include <finder/joined_text.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <tuple>

namespace finder::cli {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

struct Date {
    int year = 0, month = 0, day = 0;
};

// Splits "M/D/YYYY" into its numbers; nothing when the form is not that.
std::optional<Date> dateFields(std::string_view text) {
    const auto first = text.find('/');
    const auto second = first == std::string_view::npos ? first : text.find('/', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view month = text.substr(0, first);
    const std::string_view day = text.substr(first + 1, second - first - 1);
    const std::string_view year = text.substr(second + 1);
    if (!allDigits(month) || !allDigits(day) || !allDigits(year) || month.size() > 2 ||
        day.size() > 2 || year.size() != 4)
        return std::nullopt;
    const auto number = [](std::string_view digits) {
        int n = 0;
        for (char c : digits)
            n = n * 10 + (c - '0');
        return n;
    };
    return Date{number(year), number(month), number(day)};
}

// The message for one date, empty when it is good.
std::string checkDate(const std::string& text, Date& date) {
    const std::optional<Date> fields = dateFields(text);
    if (!fields)
        return joined({"--between needs dates as MM/DD/YYYY, not \"", text, "\""});
    date = *fields;
    if (date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return joined({"--between: there is no date \"", text, "\""});
    if (date.year < kFirstFileYear || date.year > kLastFileYear)
        return joined({"--between: the year of \"", text, "\" lies outside the dates files carry (",
                       std::to_string(kFirstFileYear), " to ", std::to_string(kLastFileYear), ")"});
    return {};
}

} // namespace

std::string checkBetween(const std::string& start, const std::string& end) {
    Date from, to;
    std::string error = checkDate(start, from);
    if (error.empty())
        error = checkDate(end, to);
    if (error.empty() &&
        std::tie(from.year, from.month, from.day) > std::tie(to.year, to.month, to.day))
        error = joined({"--between: the start \"", start, "\" is after the end \"", end, "\""});
    return error;
}

std::string checkCount(const char* option, const std::string& value) {
    if (!allDigits(value) || value.find_first_not_of('0') == std::string::npos)
        return joined({option, " needs a whole number of at least 1, not \"", value, "\""});
    return {};
}

std::string checkKilobytes(const char* option, const std::string& value) {
    if (!allDigits(value) || value.size() > 9)
        return joined({option, " needs a whole number of kilobytes from 0 to ",
                       std::to_string(kMaxKilobytes), ", not \"", value, "\""});
    return {};
}

std::string checkAreaOrder(const std::string& northwestX, const std::string& northwestY,
                           const std::string& southeastX, const std::string& southeastY,
                           bool latLonMode) {
    const coords::CornerValues v =
        coords::cornerValuesForSearch({northwestX, northwestY, southeastX, southeastY}, latLonMode);
    if (v.northwestY < v.southeastY)
        return joined({"--area: the northwest Y \"", northwestY,
                       "\" lies south of the southeast Y \"", southeastY, "\""});
    if (v.northwestX > v.southeastX)
        return joined({"--area: the northwest X \"", northwestX,
                       "\" lies east of the southeast X \"", southeastX, "\""});
    return {};
}

} // namespace finder::cli
