#include "finder/coords/corner_entry.h"

#include <quill32/latlon.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace finder::coords {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Where the given occurrence (1 = first) of a blank is, 0 when there is none.
std::size_t blankIndex(std::string_view text, int occurrence) {
    std::size_t at = std::string_view::npos;
    for (int n = 0; n < occurrence; ++n) {
        at = text.find(' ', at == std::string_view::npos ? 0 : at + 1);
        if (at == std::string_view::npos)
            return 0;
    }
    return at;
}

std::size_t afterSign(std::string_view text) {
    return !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
}

// The library's reading of a corner text, as far as a C string of it reaches.
quill32::LatLonResult readLatLon(std::string_view text, bool longitude) {
    return quill32::parseLatLon(text.substr(0, text.find('\0')), longitude);
}

// Power of ten of the first significant digit of "digits[.digits]".
long decimalOrder(std::string_view mantissa) {
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos)
        return 0;
    return first < point ? static_cast<long>(point - first) - 1 : -static_cast<long>(first - point);
}

} // namespace

LeadingNumber leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    i = skipDigits(text, i);
    std::size_t digits = i - mantissaStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = skipDigits(text, i + 1);
        digits += fractionEnd - (i + 1);
        i = fractionEnd;
    }
    if (digits == 0)
        return {};
    const std::string_view mantissa = text.substr(mantissaStart, i - mantissaStart);
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t e = i + 1;
        const bool negative = e < text.size() && text[e] == '-';
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        // The exponent counts only when digits follow it.
        if (e < text.size() && isDigit(text[e])) {
            for (i = e; i < text.size() && isDigit(text[i]); ++i)
                exponent = std::min(exponent * 10 + (text[i] - '0'), 1L << 20);
            exponent = negative ? -exponent : exponent;
        }
    }
    LeadingNumber number{0, i, true};
    // from_chars takes no "+" and reads "." whatever the locale.
    const std::size_t from = text[start] == '+' ? start + 1 : start;
    const auto result = std::from_chars(text.data() + from, text.data() + i, number.value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large reads as an infinite value, too small as zero.
        const double magnitude =
            decimalOrder(mantissa) + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        number.value = text[start] == '-' ? -magnitude : magnitude;
    }
    return number;
}

bool LooksLikeLatLon(std::string_view text, bool latitude) {
    const LeadingNumber number = leadingNumber(text);
    const char stop = number.end < text.size() ? text[number.end] : '\0';
    switch (stop) {
    case 'N':
    case 'n':
    case 'S':
    case 's':
    case 'E':
    case 'e':
    case 'W':
    case 'w':
    case ' ':
        return true;
    default:
        break;
    }
    if (std::isinf(number.value) || number.value == 0)
        return false;
    return std::fabs(number.value) <= (latitude ? 90.0 : 180.0);
}

CornerCheck CheckLatLonText(std::string_view text, bool longitude) {
    CornerCheck check;
    using quill32::LatLonStatus;
    const LatLonStatus status = readLatLon(text, longitude).status;
    if (status == LatLonStatus::Ok || status == LatLonStatus::Empty)
        return check;
    check.ok = false;
    check.message = kInvalidLatLonText;
    switch (status) {
    case LatLonStatus::DegreesRange:
    case LatLonStatus::ValueRange:
        check.message += longitude ? "longitude degrees must be between -180 and +180 inclusive."
                                   : "latitude degrees must be between -90 and +90 inclusive.";
        check.selectionStart = afterSign(text);
        break;
    case LatLonStatus::HemisphereRange:
        check.message += longitude
                             ? "longitude degrees must be between -(W)180 and +(E)180 inclusive."
                             : "latitude degrees must be between -(S)90 and +(N)90 inclusive.";
        check.selectionStart = afterSign(text);
        break;
    case LatLonStatus::Malformed:
        check.selectionStart = afterSign(text);
        break;
    case LatLonStatus::MinutesRange:
        check.message += "minutes must be between 0 and 60! ";
        check.selectionStart = blankIndex(text, 1);
        break;
    case LatLonStatus::SecondsRange:
        check.message += "seconds must be between 0 and 60! ";
        check.selectionStart = blankIndex(text, 2);
        break;
    default:
        break;
    }
    return check;
}

bool IsPlainNumber(std::string_view text) {
    if (text.empty())
        return false;
    bool point = false;
    for (std::size_t i = afterSign(text); i < text.size(); ++i) {
        if (text[i] == '.' && !point)
            point = true;
        else if (!isDigit(text[i]))
            return false;
    }
    return true;
}

double LatLonTextToDegrees(std::string_view text, bool longitude) {
    const quill32::LatLonResult read = readLatLon(text, longitude);
    return read.status == quill32::LatLonStatus::Ok ? read.degrees : 0.0;
}

CornerCheck checkCornerText(std::string_view text, bool longitude) {
    if (text.empty())
        return {};
    if (LooksLikeLatLon(text, !longitude))
        return CheckLatLonText(text, longitude);
    if (IsPlainNumber(text))
        return {};
    return {false, std::string(kInvalidNumberText), 0};
}

CornerValues cornerValuesForSearch(const CornerTexts& texts, bool mapShown) {
    CornerValues values;
    values.latLon = mapShown || LooksLikeLatLon(texts.northwestX, false);
    const auto read = [&](std::string_view text, bool longitude) {
        return values.latLon ? LatLonTextToDegrees(text, longitude) : leadingNumber(text).value;
    };
    values.northwestX = read(texts.northwestX, true);
    values.northwestY = read(texts.northwestY, false);
    values.southeastX = read(texts.southeastX, true);
    values.southeastY = read(texts.southeastY, false);
    return values;
}

} // namespace finder::coords
