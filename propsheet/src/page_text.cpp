// Page texts: the printable and latitude/longitude tests and the plain
// number format.
#include "page_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmora {

bool isPrintable(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 126)
            return false;
    }
    return true;
}

bool isLatLong(std::string_view text) {
    return text.find("LAT-LONG") != std::string_view::npos;
}

std::string plainNumber(double value) {
    constexpr int kDigits = 30;
    char text[512];
    const double magnitude = std::fabs(value);
    if (value == 0.0 || (magnitude >= 0.1 && magnitude < 1e30)) {
        // The decimal exponent after rounding to 30 digits decides how many
        // of them fall behind the point.
        char exponent[64];
        std::snprintf(exponent, sizeof exponent, "%.*e", kDigits - 1, value);
        const char* e = std::strchr(exponent, 'e');
        const int power = e ? std::atoi(e + 1) : 0;
        const int decimals = std::max(0, kDigits - 1 - power);
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (decimals == 0)
            std::strcat(text, ".");
    } else {
        std::snprintf(text, sizeof text, "%.*e", kDigits - 1, value);
    }
    std::string out = text;
    const auto point = out.find('.');
    if (point == std::string::npos)
        return out; // not a finite number
    const auto fractionEnd = out.find('e', point);
    const auto end = fractionEnd == std::string::npos ? out.size() : fractionEnd;
    auto keep = end;
    while (keep > point + 1 && out[keep - 1] == '0')
        --keep;
    out.erase(keep, end - keep);
    return out;
}

std::string fieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

} // namespace velmora
