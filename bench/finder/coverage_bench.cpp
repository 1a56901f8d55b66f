// Times the coverage of a continent-sized area (10 W ... 40 E, 35 ... 70 N)
// by 10,000 footprints of 0.05 to 2 degrees a side, every tenth densified
// as a projected file's outline (32 points an edge). Prints milliseconds
// per coverage, with the share and the number of gaps; the goal is 1 s.
//   kavrel-coverage-bench [RUNS]
#include "europe_footprints.h"
#include "finder/export/coverage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<strand32::LonLatRing> footprints = bench::europeFootprints(10000);
    const MaporaExtent europe{-10, 70, 40, 35};
    double total = 0;
    std::optional<finder::Coverage> coverage;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        coverage = finder::areaCoverage(europe, footprints);
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
    }
    if (!coverage) {
        std::fprintf(stderr, "no coverage computed\n");
        return 1;
    }
    std::printf("10000 footprints over 10W-40E 35-70N: %.1f ms per coverage (%d runs), "
                "%.2f%% covered, %zu gap(s)\n",
                total / runs, runs, coverage->share * 100, coverage->gaps.size());
    return 0;
}
