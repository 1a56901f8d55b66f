// JSON text of a row: strings escaped by hand (control characters, quotes,
// bytes that are not UTF-8), numbers in their shortest exact form.
#include "finder/export/row_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace finder {
namespace {

// Length of the valid UTF-8 sequence at `i`, 0 when the bytes there are not one.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// {"a":..,"b":..} from name and value texts already in JSON form.
std::string jsonObject(std::initializer_list<std::pair<const char*, std::string>> members) {
    std::string text = "{";
    for (const auto& [name, value] : members) {
        if (text.size() > 1)
            text += ',';
        text += jsonString(name);
        text += ':';
        text += value;
    }
    return text + '}';
}

} // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c >= 0x80) {
            const std::size_t length = utf8Length(text, i);
            if (length == 0) {
                out += "\\ufffd";
                ++i;
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + '"';
}

std::string rowJson(const RowTexts& row, const std::string& path,
                    const strand32::FileFacts* facts) {
    std::string text = jsonObject({{"name", jsonString(row.name)},
                                   {"folder", jsonString(row.folder)},
                                   {"size", jsonString(row.size)},
                                   {"type", jsonString(row.type)},
                                   {"modified", jsonString(row.modified)},
                                   {"path", jsonString(path)}});
    if (facts == nullptr)
        return text;
    text.pop_back(); // the closing brace: the known facts follow
    if (const auto& e = facts->extent)
        text += ",\"extent\":" + jsonObject({{"west", jsonNumber(e->west)},
                                             {"north", jsonNumber(e->north)},
                                             {"east", jsonNumber(e->east)},
                                             {"south", jsonNumber(e->south)}});
    if (const auto& k = facts->keys)
        text += ",\"keys\":" + jsonObject({{"group", jsonString(keyText(k->group))},
                                           {"system", jsonString(keyText(k->system))},
                                           {"datum", jsonString(keyText(k->datum))},
                                           {"units", jsonString(keyText(k->units))}});
    return text + '}';
}

} // namespace finder
