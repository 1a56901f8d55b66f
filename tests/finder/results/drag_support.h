#pragma once
// Helpers of the drag tests: dragged rows from (file name, folder) pairs, the
// two texts a drag reads, and the trace lines written while a test runs.
#include "finder/found_file.h"

#include <platform/trace.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

using NameAndFolder = std::pair<std::string, std::string>;

inline std::vector<finder::RowTexts> draggedRows(const std::vector<NameAndFolder>& rows) {
    std::vector<finder::RowTexts> out;
    for (const auto& [name, folder] : rows) {
        finder::RowTexts row;
        row.name = name;
        row.folder = folder;
        out.push_back(std::move(row));
    }
    return out;
}

// Collects the trace lines written while it lives.
struct TraceLines {
    TraceLines() {
        platform::setTraceSink([this](std::string_view text) { lines.emplace_back(text); });
    }
    ~TraceLines() { platform::setTraceSink({}); }
    long count(const std::string& line) const {
        return std::count(lines.begin(), lines.end(), line);
    }
    std::vector<std::string> lines;
};

} // namespace testsupport
