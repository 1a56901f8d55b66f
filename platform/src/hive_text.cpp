#include "hive_text.h"

#include "platform/registry.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace platform::hive {

namespace {

// The header of the format, and that of its successor, whose lines for
// texts and numbers are the same (a file saved as UTF-8 may carry a BOM).
bool isHeader(std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);
    return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text at the start of `s` ("...", with \\ and \" escapes)
// and removes it from `s`. A backslash before any other character stays as
// it is, so hand-written folder names such as "C:\data" still read back.
std::optional<std::string> takeQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            out += s[++i];
        else
            out += c;
    }
    return std::nullopt;
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::optional<std::string> parseDword(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t v = 0;
    for (const char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return bytes;
}

// "01,02,ff" (a trailing comma allowed before a continuation).
bool appendHexBytes(std::string_view list, std::string& out) {
    list = trim(list);
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view item = trim(list.substr(0, comma));
        if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0)
            return false;
        out += static_cast<char>(hexDigit(item[0]) * 16 + hexDigit(item[1]));
        if (comma == std::string_view::npos)
            break;
        list = trim(list.substr(comma + 1));
    }
    return true;
}

struct ParsedData {
    std::uint32_t type = 0;
    std::string bytes;
    bool continues = false; // a hex list ending in a backslash goes on next line
};

std::optional<ParsedData> parseData(std::string_view data) {
    ParsedData out;
    if (!data.empty() && data.front() == '"') {
        auto text = takeQuoted(data);
        if (!text || !trim(data).empty())
            return std::nullopt;
        out.type = REG_SZ;
        out.bytes = *text + '\0';
        return out;
    }
    if (data.substr(0, 6) == "dword:") {
        auto bytes = parseDword(trim(data.substr(6)));
        if (!bytes)
            return std::nullopt;
        out.type = REG_DWORD;
        out.bytes = *bytes;
        return out;
    }
    if (data.substr(0, 3) != "hex")
        return std::nullopt;
    data.remove_prefix(3);
    out.type = 3; // REG_BINARY
    if (!data.empty() && data.front() == '(') {
        const auto close = data.find(')');
        if (close == std::string_view::npos || close < 2 || close > 9)
            return std::nullopt;
        std::uint32_t t = 0;
        for (const char c : data.substr(1, close - 1)) {
            if (hexDigit(c) < 0)
                return std::nullopt;
            t = t * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        out.type = t;
        data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != ':')
        return std::nullopt;
    data.remove_prefix(1);
    if (!data.empty() && data.back() == '\\') {
        out.continues = true;
        data.remove_suffix(1);
    }
    if (!appendHexBytes(data, out.bytes))
        return std::nullopt;
    return out;
}

} // namespace

std::string normaliseKey(std::string_view key) {
    // Repeated until nothing changes ("\HKLM\ Software" needs two rounds), so
    // that a normalised key stays as it is when it is normalised again.
    for (;;) {
        const std::size_t before = key.size();
        key = trim(key);
        while (!key.empty() && key.front() == '\\')
            key.remove_prefix(1);
        while (!key.empty() && key.back() == '\\')
            key.remove_suffix(1);
        for (const std::string_view root :
             {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKLM", "HKCU"}) {
            if (key.size() >= root.size() && equalsNoCase(key.substr(0, root.size()), root) &&
                (key.size() == root.size() || key[root.size()] == '\\')) {
                key.remove_prefix(root.size());
                break;
            }
        }
        if (key.size() == before)
            return std::string(key);
    }
}

Document parse(std::string_view text) {
    Document doc;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        doc.lines.emplace_back(line);
        if (nl == std::string_view::npos)
            break;
        text.remove_prefix(nl + 1);
    }

    std::size_t i = 0;
    while (i < doc.lines.size() && trim(doc.lines[i]).empty())
        ++i;
    if (i == doc.lines.size() || !isHeader(trim(doc.lines[i]))) {
        doc.brokenLines.push_back(i + 1);
        return doc;
    }

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t current = kNone; // section the value lines belong to
    bool orphaned = false;       // below a broken section header
    for (++i; i < doc.lines.size(); ++i) {
        std::string_view line = trim(doc.lines[i]);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::string key =
                line.back() == ']' ? normaliseKey(line.substr(1, line.size() - 2)) : std::string();
            if (key.empty() || key.front() == '-') {
                doc.brokenLines.push_back(i + 1);
                current = kNone;
                orphaned = true;
                continue;
            }
            doc.sections.push_back({key, i, i});
            current = doc.sections.size() - 1;
            orphaned = false;
            continue;
        }
        std::optional<std::string> name;
        if (line.front() == '@') {
            name = std::string();
            line.remove_prefix(1);
        } else {
            name = takeQuoted(line);
        }
        line = trim(line);
        std::optional<ParsedData> data;
        if (name && !line.empty() && line.front() == '=')
            data = parseData(trim(line.substr(1)));
        const std::size_t first = i;
        // Continuation lines of a hex list belong to this entry, sound or not.
        while (data && data->continues) {
            if (++i == doc.lines.size()) {
                data.reset();
                break;
            }
            std::string_view cont = trim(doc.lines[i]);
            data->continues = !cont.empty() && cont.back() == '\\';
            if (data->continues)
                cont.remove_suffix(1);
            if (!appendHexBytes(cont, data->bytes))
                data.reset();
        }
        if (!data || (current == kNone && !orphaned)) {
            doc.brokenLines.push_back(first + 1);
            continue;
        }
        if (current == kNone)
            continue;
        doc.entries.push_back({current, *name, data->type, data->bytes, first, i});
        doc.sections[current].endLine = i;
    }
    return doc;
}

std::string Document::text() const {
    std::string out;
    for (const auto& line : lines)
        out += line + '\n';
    return out;
}

bool keyExists(const Document& doc, std::string_view key) {
    const std::string wanted = normaliseKey(key);
    if (wanted.empty())
        return true; // the hive's root
    for (const auto& s : doc.sections) {
        if (s.key.size() < wanted.size() || !equalsNoCase(s.key.substr(0, wanted.size()), wanted))
            continue;
        if (s.key.size() == wanted.size() || s.key[wanted.size()] == '\\')
            return true;
    }
    return false;
}

const Entry* findValue(const Document& doc, std::string_view key, std::string_view name) {
    const std::string wanted = normaliseKey(key);
    const Entry* found = nullptr;
    for (const auto& e : doc.entries)
        if (equalsNoCase(e.name, name) && equalsNoCase(doc.sections[e.section].key, wanted))
            found = &e;
    return found;
}

std::string formatValueLine(std::string_view name, std::uint32_t type, std::string_view bytes) {
    std::string line = name.empty() ? std::string("@") : quote(name);
    line += '=';
    if (type == REG_DWORD && bytes.size() == 4) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        std::array<char, 9> digits{};
        for (int i = 7; i >= 0; --i, v >>= 4)
            digits[static_cast<std::size_t>(i)] = "0123456789abcdef"[v & 0xF];
        return line + "dword:" + digits.data();
    }
    // A text that fits the quoted form: one NUL at its end, no line breaks.
    if (type == REG_SZ && !bytes.empty() && bytes.back() == '\0' &&
        bytes.substr(0, bytes.size() - 1).find_first_of(std::string_view("\r\n\0", 3)) ==
            std::string_view::npos)
        return line + quote(bytes.substr(0, bytes.size() - 1));
    // The type of hex(N) is written in hexadecimal, as it is read ("hex(b)" = 11).
    char typeDigits[9];
    std::snprintf(typeDigits, sizeof typeDigits, "%x", static_cast<unsigned>(type));
    line += type == 3 ? std::string("hex:") : "hex(" + std::string(typeDigits) + "):";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            line += ',';
        line += "0123456789abcdef"[b >> 4];
        line += "0123456789abcdef"[b & 0xF];
    }
    return line;
}

void setValue(Document& doc, std::string_view key, std::string_view name, std::uint32_t type,
              std::string_view bytes) {
    std::string newLine = formatValueLine(name, type, bytes);
    if (const Entry* e = findValue(doc, key, name)) {
        newLine = formatValueLine(e->name, type, bytes); // the name keeps its spelling
        doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(e->firstLine) + 1,
                        doc.lines.begin() + static_cast<std::ptrdiff_t>(e->lastLine) + 1);
        doc.lines[e->firstLine] = newLine;
    } else {
        const std::string wanted = normaliseKey(key);
        const Section* target = nullptr;
        for (const auto& s : doc.sections)
            if (equalsNoCase(s.key, wanted))
                target = &s;
        if (target) {
            doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(target->endLine) + 1,
                             newLine);
        } else {
            if (!doc.lines.empty() && !trim(doc.lines.back()).empty())
                doc.lines.emplace_back();
            doc.lines.push_back("[" + wanted + "]");
            doc.lines.push_back(newLine);
        }
    }
    doc = parse(doc.text());
}

} // namespace platform::hive
