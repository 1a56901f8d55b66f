#pragma once
// The checks kavrel-find makes of option values beyond their form, so that a
// script learns at once that a value cannot mean anything: a date that does
// not exist or lies outside the dates files carry, a start after the end, a
// count or size out of range, an area whose corners are the wrong way round.
// Each returns the message for the user, empty when the value is good. The
// window's boxes and saved searches keep their own, more forgiving rules.
#include <string>

namespace finder::cli {

// The years a file's date can hold as the search compares dates.
inline constexpr int kFirstFileYear = 1980;
inline constexpr int kLastFileYear = 2107;
// The largest size in kilobytes (nine digits).
inline constexpr long kMaxKilobytes = 999999999;

// --between START END: both MM/DD/YYYY (month and day of one or two digits),
// real dates within the file years, the start not after the end.
std::string checkBetween(const std::string& start, const std::string& end);

// --months / --days: a whole number of at least 1 (a larger count than the
// dates go back is taken as far as they go).
std::string checkCount(const char* option, const std::string& value);

// --size-at-least / --size-at-most: a whole number of kilobytes.
std::string checkKilobytes(const char* option, const std::string& value);

// --area, once each corner is valid on its own: the northwest corner lies
// neither south nor east of the southeast one, read as the search reads them.
std::string checkAreaOrder(const std::string& northwestX, const std::string& northwestY,
                           const std::string& southeastX, const std::string& southeastY,
                           bool latLonMode);

} // namespace finder::cli
