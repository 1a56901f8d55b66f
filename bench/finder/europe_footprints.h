#pragma once
// The footprints both map benches use: boxes of 0.05 to 2 degrees a side
// over 10 W ... 40 E, 35 ... 70 N, every tenth densified as a projected
// file's outline (32 points an edge), always the same ones.
#include <strand32/lonlat_ring.h>

#include <random>
#include <vector>

namespace bench {

inline std::vector<strand32::LonLatRing> europeFootprints(int count) {
    std::mt19937 random(24);
    std::uniform_real_distribution<double> lon(-10, 38), lat(35, 68), side(0.05, 2.0);
    std::vector<strand32::LonLatRing> footprints;
    for (int i = 0; i < count; ++i) {
        const double w = lon(random), s = lat(random);
        const double e = w + side(random), n = s + side(random);
        const int segments = i % 10 == 0 ? 32 : 1;
        const MaporaPoint corners[] = {{w, s}, {e, s}, {e, n}, {w, n}};
        strand32::LonLatRing ring;
        for (int edge = 0; edge < 4; ++edge)
            for (int k = 0; k < segments; ++k) {
                const double t = static_cast<double>(k) / segments;
                const MaporaPoint a = corners[edge], b = corners[(edge + 1) % 4];
                ring.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
            }
        ring.push_back(ring.front());
        footprints.push_back(std::move(ring));
    }
    return footprints;
}

} // namespace bench
