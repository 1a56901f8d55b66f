// Which range of the index of names holds every name a pattern can match:
// the literal text before its first wildcard (in lower case, the index of
// lower(name)) or after its last one (reversed, the index of `tail`),
// whichever is longer. The pattern itself is matched afterwards.
#include "finder/catalogue.h"

#include <algorithm>

namespace finder {
namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The least key above every key that begins with `prefix`; empty when there
// is none (a prefix of 0xFF bytes only).
std::string successor(std::string prefix) {
    while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF)
        prefix.pop_back();
    if (!prefix.empty())
        prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
    return prefix;
}


} // namespace

std::string tailKey(std::string_view name) {
    std::string key = lowered(name);
    std::reverse(key.begin(), key.end());
    return key;
}

NamePatternPlan planOfPattern(std::string_view pattern) {
    // A name without a dot also matches a pattern ending in ".*" or "." once
    // that end is taken off ("read*.*" finds "README", "abc." finds "abc"):
    // the head is taken from the shorter form, and such a pattern has no
    // tail to look for.
    std::string_view loose = pattern;
    bool tailUsable = true;
    if (loose.ends_with(".*")) {
        loose.remove_suffix(2);
        tailUsable = false;
    } else if (loose.ends_with('.')) {
        loose.remove_suffix(1);
        tailUsable = false;
    }
    const std::string_view head =
        loose.substr(0, std::min(loose.size(), loose.find_first_of("*?")));
    std::string_view tail;
    if (tailUsable) {
        const std::size_t last = pattern.find_last_of("*?");
        tail = last == std::string_view::npos ? pattern : pattern.substr(last + 1);
    }
    NamePatternPlan plan;
    if (head.empty() && tail.empty())
        return plan;
    if (head.size() >= tail.size()) {
        plan.use = NamePatternPlan::Use::Head;
        plan.from = lowered(head);
    } else {
        plan.use = NamePatternPlan::Use::Tail;
        plan.from = tailKey(tail);
    }
    plan.to = successor(plan.from);
    return plan;
}

} // namespace finder
