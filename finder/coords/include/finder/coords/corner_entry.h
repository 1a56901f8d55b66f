#pragma once
// The four corner boxes of the area page: the check made when the user
// leaves a box, its error texts, and the conversion of the corner texts into
// the numbers a search compares with. Pure functions, so the window's leave
// handlers and the search thread call the same code.
#include <cstddef>
#include <string>
#include <string_view>

namespace finder::coords {

inline constexpr std::string_view kGeographicAreaErrorTitle = "Geographic Area Error";
inline constexpr std::string_view kInvalidNumberText = "Invalid number format! ";
inline constexpr std::string_view kInvalidLatLonText = "Invalid Lat-Lon format:\n";

// The longest leading decimal number of a text: leading blanks, a sign, a
// decimal point and an exponent are taken; an overflow gives an infinite
// value. `end` is where reading stopped (0 when no number was found, as the
// C library reports it).
struct LeadingNumber {
    double value = 0;
    std::size_t end = 0;
    bool found = false;
};
LeadingNumber leadingNumber(std::string_view text);

// True when the text is to be checked as latitude/longitude notation: the
// number is followed by a hemisphere letter or a blank, or it is a non-zero
// finite number within 90 (latitude) or 180 (longitude).
bool LooksLikeLatLon(std::string_view text, bool latitude);

// Result of a check, as a leave handler shows it: on failure the message for
// the "Geographic Area Error" box and where the selection of the box's text
// starts (it runs to the end of the text).
struct CornerCheck {
    bool ok = true;
    std::string message;
    std::size_t selectionStart = 0;
};

// Checks the text with the coordinate-system library's parser in checking
// mode; every failing status has its own message and selection start.
CornerCheck CheckLatLonText(std::string_view text, bool longitude);

// A plain decimal number: an optional sign, digits and at most one ".".
// A lone sign or a lone "." passes; the empty text does not.
bool IsPlainNumber(std::string_view text);

// Decimal degrees from the library's conversion; 0.0 when it rejects the text.
double LatLonTextToDegrees(std::string_view text, bool longitude);

// The whole check made on leaving a corner box: an empty text passes, a
// text that looks geographic is checked as such, anything else must be a
// plain number (the whole text is then selected on failure).
CornerCheck checkCornerText(std::string_view text, bool longitude);

// The four corner texts, X boxes holding longitudes and Y boxes latitudes.
struct CornerTexts {
    std::string_view northwestX, northwestY, southeastX, southeastY;
};

// The area a search compares with, in the order NW X, NW Y, SE X, SE Y.
struct CornerValues {
    double northwestX = 0, northwestY = 0, southeastX = 0, southeastY = 0;
    bool latLon = false; // read as longitudes and latitudes
};

// Read as degrees when the map is shown or the northwest X looks like a
// longitude; otherwise as plain numbers (the leading number, 0 if none).
CornerValues cornerValuesForSearch(const CornerTexts& texts, bool mapShown);

} // namespace finder::coords
