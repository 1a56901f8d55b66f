#include "quill32/latlon.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quill32 {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char hemisphere(char c) {
    switch (c) {
    case 'N':
    case 'n':
        return 'N';
    case 'S':
    case 's':
        return 'S';
    case 'E':
    case 'e':
        return 'E';
    case 'W':
    case 'w':
        return 'W';
    default:
        return 0;
    }
}

// Marks after a number: 0 degrees, 1 minutes, 2 seconds; -1 none. Both the
// single-byte (Latin-1) and UTF-8 spellings are read.
int readMark(std::string_view text, std::size_t& pos) {
    struct Mark {
        std::string_view spelling;
        int which;
    };
    static constexpr std::array<Mark, 10> marks{{
        {"\xC2\xB0", 0},
        {"\xC2\xBA", 0},
        {"\xB0", 0},
        {"\xBA", 0},
        {"''", 2},
        {"\"", 2},
        {"\xE2\x80\xB3", 2},
        {"'", 1},
        {"\xE2\x80\xB2", 1},
        {"\xE2\x80\x99", 1},
    }};
    for (const auto& m : marks)
        if (text.substr(pos, m.spelling.size()) == m.spelling) {
            pos += m.spelling.size();
            return m.which;
        }
    return -1;
}

LatLonResult fault(LatLonStatus status, std::size_t position) {
    return {status, 0.0, position};
}

} // namespace

LatLonResult parseLatLon(std::string_view text, bool longitude) {
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
    };
    skipBlanks();
    std::size_t end = text.size();
    while (end > pos && isBlank(text[end - 1]))
        --end;
    const std::string_view body = text.substr(pos, end - pos);
    if (body.empty() || body == "+" || body == "-" || body == "." || body == "+." || body == "-.")
        return fault(LatLonStatus::Empty, pos);

    char hemi = 0;
    std::size_t hemiPos = 0;
    char sign = 0;
    if (hemisphere(text[pos])) {
        hemi = hemisphere(text[pos]);
        hemiPos = pos++;
        skipBlanks();
    } else if (text[pos] == '+' || text[pos] == '-') {
        sign = text[pos++];
    }

    std::array<double, 3> parts{};
    std::array<std::size_t, 3> starts{};
    int count = 0;
    bool fractional = false;
    while (pos < end) {
        skipBlanks();
        if (pos >= end || hemisphere(text[pos]))
            break;
        if (count == 3)
            return fault(LatLonStatus::Malformed, pos);
        // A number: digits with at most one decimal point.
        const std::size_t start = pos;
        bool digits = false, point = false;
        while (pos < end && (isDigit(text[pos]) || (text[pos] == '.' && !point))) {
            point |= text[pos] == '.';
            digits |= isDigit(text[pos]);
            ++pos;
        }
        if (!digits || fractional) // only the last part may have a fraction
            return fault(LatLonStatus::Malformed, start);
        double v = 0;
        auto [p, ec] = std::from_chars(text.data() + start, text.data() + pos, v);
        if (ec != std::errc() || p != text.data() + pos || !std::isfinite(v))
            return fault(LatLonStatus::Malformed, start);
        fractional = point;
        const int mark = readMark(text, pos);
        if (mark >= 0 && mark != count)
            return fault(LatLonStatus::Malformed, start);
        // Parts are separated by blanks or follow a mark directly.
        if (pos < end && !isBlank(text[pos]) && !hemisphere(text[pos]) &&
            !(mark >= 0 && isDigit(text[pos])))
            return fault(LatLonStatus::Malformed, pos);
        starts[count] = start;
        parts[count++] = v;
    }
    if (count == 0)
        return fault(LatLonStatus::Malformed, pos);
    if (pos < end) { // a trailing hemisphere letter, unless one came first or a sign
        if (hemi || sign)
            return fault(LatLonStatus::Malformed, pos);
        hemi = hemisphere(text[pos]);
        hemiPos = pos++;
        skipBlanks();
        if (pos < end)
            return fault(LatLonStatus::Malformed, pos);
    }
    if (hemi && (longitude ? (hemi == 'N' || hemi == 'S') : (hemi == 'E' || hemi == 'W')))
        return fault(LatLonStatus::Malformed, hemiPos);

    const double bound = longitude ? 180.0 : 90.0;
    const auto outOfRange = hemi ? LatLonStatus::HemisphereRange : LatLonStatus::DegreesRange;
    if (parts[0] > bound)
        return fault(outOfRange, starts[0]);
    if (count > 1 && parts[1] >= 60.0)
        return fault(LatLonStatus::MinutesRange, starts[1]);
    if (count > 2 && parts[2] >= 60.0)
        return fault(LatLonStatus::SecondsRange, starts[2]);
    const double value = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    if (value > bound)
        return fault(hemi ? LatLonStatus::HemisphereRange : LatLonStatus::ValueRange, starts[0]);
    const bool negative = sign == '-' || hemi == 'S' || hemi == 'W';
    return {LatLonStatus::Ok, negative ? -value : value, 0};
}

std::string formatLatLon(double degrees, bool longitude, int format) {
    if (!std::isfinite(degrees))
        return {};
    char buf[64];
    if (format == 0) {
        std::snprintf(buf, sizeof buf, "%.6f", degrees);
        return buf;
    }
    // Thousandths of a second (under 1.4e-7 degrees off), rounded once so
    // 59.9999" never shows as 60.000".
    const long long total = std::llround(std::fabs(degrees) * 3600000.0);
    const long long d = total / 3600000, m = total / 60000 % 60, ms = total % 60000;
    const char letter = longitude ? (degrees < 0 ? 'W' : 'E') : (degrees < 0 ? 'S' : 'N');
    std::snprintf(buf, sizeof buf, "%lld\xC2\xB0%02lld'%02lld.%03lld\"%c", d, m, ms / 1000,
                  ms % 1000, total == 0 ? (longitude ? 'E' : 'N') : letter);
    return buf;
}

} // namespace quill32
