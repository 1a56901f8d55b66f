#pragma once
// A copy of some folders of the sample data for one test (other tests read
// the samples at the same time, and file openings are counted per folder),
// dated an hour ago so that the footprint cache keeps what is read of them.
#include "temp_dir.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The copies of `folders` of the samples, below `dir`/tree; their paths.
inline std::vector<std::string> copySampleFolders(const TempDir& dir,
                                                  const std::vector<std::string>& folders) {
    namespace fs = std::filesystem;
    const std::string samples = std::string(KAVREL_DATA_DIR) + "/samples";
    std::vector<std::string> copies;
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const std::string& folder : folders) {
        const std::string copy = dir / ("tree/" + folder);
        fs::create_directories(copy);
        for (const auto& entry : fs::directory_iterator(samples + "/" + folder)) {
            if (!entry.is_regular_file())
                continue;
            const std::string file = copy + "/" + entry.path().filename().string();
            fs::copy_file(entry.path(), file);
            fs::last_write_time(file, anHourAgo);
        }
        fs::last_write_time(copy, anHourAgo);
        copies.push_back(copy);
    }
    fs::last_write_time(dir / "tree", anHourAgo);
    return copies;
}

} // namespace testsupport
