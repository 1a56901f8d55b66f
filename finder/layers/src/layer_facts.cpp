// Comparisons of layer facts, for the cache and the tests.
#include "finder/layer_facts.h"

#include <cstring>

namespace finder {

bool sameKeys(const CoordSysKeys& a, const CoordSysKeys& b) {
    const auto same = [](const char* x, const char* y) {
        return std::strncmp(x, y, quill32::kKeySize) == 0;
    };
    return same(a.group, b.group) && same(a.system, b.system) && same(a.datum, b.datum) &&
           same(a.units, b.units);
}

bool operator==(const LayerFacts& a, const LayerFacts& b) {
    if (a.keysRead != b.keysRead || a.keys.has_value() != b.keys.has_value() ||
        (a.keys && !sameKeys(*a.keys, *b.keys)))
        return false;
    return a.extent == b.extent && a.lonLat == b.lonLat && a.companions == b.companions;
}

} // namespace finder
