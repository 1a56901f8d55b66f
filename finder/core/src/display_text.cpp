// UTF-8 with a Windows-1252 fallback for the bytes that do not decode.
#include "finder/display_text.h"

#include <cstdint>
#include <utility>

namespace finder {
namespace {

// Windows-1252 at 0x80-0x9F; its five unassigned bytes keep their Latin-1
// control character.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t windows1252(std::uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte);
}

// The lead bytes of multi-byte sequences: their range, the bits of the code
// point they carry, the length of the sequence and its least code point.
struct Lead {
    std::uint8_t low, high, bits;
    std::size_t length;
    char32_t least;
};
constexpr Lead kLeads[] = {
    {0xC2, 0xDF, 0x1F, 2, 0x80}, {0xE0, 0xEF, 0x0F, 3, 0x800}, {0xF0, 0xF4, 0x07, 4, 0x10000}};

// The code point of the well-formed UTF-8 sequence at the start of `s` and
// its length; length 0 when the first byte does not begin one.
std::pair<char32_t, std::size_t> decodeOne(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    if (byte(0) < 0x80)
        return {byte(0), 1};
    for (const Lead& lead : kLeads) {
        if (byte(0) < lead.low || byte(0) > lead.high)
            continue;
        if (s.size() < lead.length)
            return {0, 0};
        char32_t point = byte(0) & lead.bits;
        for (std::size_t i = 1; i < lead.length; ++i) {
            if ((byte(i) & 0xC0) != 0x80)
                return {0, 0};
            point = (point << 6) | (byte(i) & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if (point < lead.least || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return {0, 0};
        return {point, lead.length};
    }
    return {0, 0};
}

} // namespace

QString displayText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    while (!bytes.empty()) {
        const auto [point, length] = decodeOne(bytes);
        if (length == 0) {
            text += QChar(windows1252(static_cast<std::uint8_t>(bytes.front())));
            bytes.remove_prefix(1);
            continue;
        }
        if (QChar::requiresSurrogates(point)) {
            text += QChar(QChar::highSurrogate(point));
            text += QChar(QChar::lowSurrogate(point));
        } else {
            text += QChar(static_cast<char16_t>(point));
        }
        bytes.remove_prefix(length);
    }
    return text;
}

} // namespace finder
