#include "platform/wildcard.h"

namespace platform {

namespace {

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Plain glob match: `*` any run (also empty), `?` exactly one character.
// Greedy with one back-track point, so it runs in O(pattern x name).
bool globMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool hasDot(std::string_view name) {
    return name.find('.') != std::string_view::npos;
}

} // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || name.empty())
        return false;
    if (globMatch(pattern, name))
        return true;
    // A name without an extension still matches a pattern ending in ".*"
    // ("*.*" every name, "read*.*" "README"), and a pattern ending in a lone
    // dot asks for names without an extension ("*." finds "Makefile").
    if (!hasDot(name)) {
        if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
            return globMatch(pattern.substr(0, pattern.size() - 2), name);
        if (pattern.back() == '.')
            return globMatch(pattern.substr(0, pattern.size() - 1), name);
    }
    return false;
}

} // namespace platform
