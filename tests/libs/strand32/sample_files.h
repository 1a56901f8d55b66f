#pragma once
// The files of a layer type of the table in the sample tree and among the
// real-world files, sorted; empty when neither has been built. The kinds
// beyond the table (codes from 0x6001) are read by their own readers and
// tested with them.
#include "strand32/layer.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace strand32test {

inline std::vector<std::string> layerFiles() {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const fs::path& root : {fs::path(KAVREL_DATA_DIR) / "samples",
                                 fs::path(KAVREL_BUILD_DIR) / "testdata" / "rgdal"}) {
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const auto type = strand32::layerTypeOf(entry.path().string());
            if (entry.is_regular_file() && type != LayerType::None &&
                static_cast<std::uint16_t>(type) <
                    static_cast<std::uint16_t>(LayerType::GeoPackage))
                files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace strand32test
