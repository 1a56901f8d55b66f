// Registry hive text: any bytes parse; a rewrite reads back the same values;
// setting one value in a sound hive changes that value and nothing else.
// Input: the hive text, optionally followed by a NUL and an edit (type
// selector, key selector, value name, NUL, value bytes).
#include "fuzz_check.h"
#include "hive_text.h"
#include "platform/registry.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

using namespace platform::hive;

struct Edit {
    std::string key;
    std::string name = "Fuzz";
    std::uint32_t type = platform::REG_SZ;
    std::string bytes = std::string("value\0", 6);
};

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool sameValue(const Entry* a, const Entry* b) {
    return a && b && a->type == b->type && a->bytes == b->bytes;
}

// The values as a query sees them: for each key and name, the line that wins.
void checkSameValues(const Document& a, const Document& b) {
    FUZZ_CHECK(a.entries.size() == b.entries.size());
    for (const Entry& e : a.entries) {
        const std::string& key = a.sections[e.section].key;
        FUZZ_CHECK(sameValue(findValue(a, key, e.name), findValue(b, key, e.name)));
    }
}

// A key to edit: a section's key or one of its parents (a key that exists
// only as a parent gets a section of its own).
Edit readEdit(const Document& doc, std::string_view recipe) {
    Edit edit;
    const auto byte = [&](std::size_t i) {
        return i < recipe.size() ? static_cast<unsigned char>(recipe[i]) : 0u;
    };
    const Section& section = doc.sections[byte(1) % doc.sections.size()];
    edit.key = section.key;
    // (A parent whose name ends in blanks cannot be named: callers' key
    // paths are trimmed.)
    const std::string parent = edit.key.substr(0, std::max<std::size_t>(edit.key.find('\\'), 1));
    if ((byte(1) & 0x80) && normaliseKey(parent) == parent)
        edit.key = parent;
    if (recipe.size() < 2)
        return edit;
    recipe.remove_prefix(2);
    const auto nul = std::min(recipe.find('\0'), recipe.size());
    edit.name = std::string(recipe.substr(0, nul));
    std::replace(edit.name.begin(), edit.name.end(), '\n', ' '); // names come from the program
    edit.bytes = std::string(recipe.substr(std::min(nul + 1, recipe.size())));
    switch (byte(0) % 4) {
    case 0: // a text is stored up to its first NUL, with one NUL
        edit.bytes = edit.bytes.substr(0, edit.bytes.find('\0')) + '\0';
        break;
    case 1:
        edit.type = platform::REG_DWORD;
        edit.bytes.resize(4);
        break;
    case 2:
        edit.type = 3;
        break;
    default:
        edit.type = byte(0);
        break;
    }
    return edit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);
    const auto nul = input.find('\0');
    const Document doc = parse(input.substr(0, nul));
    const Document again = parse(doc.text());
    FUZZ_CHECK(again.sound() == doc.sound());
    checkSameValues(doc, again);
    if (!doc.sound() || doc.sections.empty())
        return 0;

    const Edit edit =
        readEdit(doc, nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1));
    FUZZ_CHECK(keyExists(doc, edit.key));
    Document edited = doc;
    setValue(edited, edit.key, edit.name, edit.type, edit.bytes);
    FUZZ_CHECK(edited.sound());
    const Entry* set = findValue(edited, edit.key, edit.name);
    FUZZ_CHECK(set && set->type == edit.type && set->bytes == edit.bytes);
    for (const Entry& e : doc.entries) {
        const std::string& key = doc.sections[e.section].key;
        if (lower(normaliseKey(key)) == lower(normaliseKey(edit.key)) &&
            lower(e.name) == lower(edit.name))
            continue;
        FUZZ_CHECK(sameValue(findValue(doc, key, e.name), findValue(edited, key, e.name)));
    }
    for (const Section& s : doc.sections)
        FUZZ_CHECK(keyExists(edited, s.key));
    return 0;
}
