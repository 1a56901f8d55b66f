#pragma once
// The text of one registry hive in the REGEDIT4 format, parsed line by line.
// The lines are kept as they are, so a rewrite changes only the value it sets
// and leaves comments, order and spacing of everything else alone.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::hive {

struct Section {
    std::string key;        // normalised: no root name, no outer backslashes
    std::size_t headerLine; // index into Document::lines
    std::size_t endLine;    // index of the last line holding one of its values
};

struct Entry {
    std::size_t section; // index into Document::sections
    std::string name;    // empty for the default value ("@")
    std::uint32_t type;  // REG_SZ, REG_DWORD, or the number of a hex(N) value
    std::string bytes;   // the value as a query hands it out (texts with their NUL)
    std::size_t firstLine;
    std::size_t lastLine; // differs from firstLine for continued hex lines
};

struct Document {
    std::vector<std::string> lines;
    std::vector<Section> sections;
    std::vector<Entry> entries;
    std::vector<std::size_t> brokenLines; // 1-based numbers of lines that cannot be parsed

    bool sound() const { return brokenLines.empty(); }
    std::string text() const;
};

// A missing "REGEDIT4" header makes line 1 broken and yields no keys at all.
// A broken line elsewhere is skipped, as are the values below a broken
// section header (they would otherwise land in the section above it).
Document parse(std::string_view text);

// Key paths as callers and section headers spell them, made comparable:
// "HKEY_CURRENT_USER\Software\X\" -> "Software\X".
std::string normaliseKey(std::string_view key);

// A key exists when a section names it or one of its subkeys.
bool keyExists(const Document& doc, std::string_view key);

// The value as the hive defines it: the last line that sets it wins.
const Entry* findValue(const Document& doc, std::string_view key, std::string_view name);

// Sets a value in an existing key, replacing its line(s) or adding one to the
// key's section (a section is added for a key that only exists as a parent).
void setValue(Document& doc, std::string_view key, std::string_view name, std::uint32_t type,
              std::string_view bytes);

// The line that stores a value: "name"="text", "name"=dword:0000000a, or hex(N):..
std::string formatValueLine(std::string_view name, std::uint32_t type, std::string_view bytes);

} // namespace platform::hive
