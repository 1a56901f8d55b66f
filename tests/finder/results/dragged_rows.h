#pragma once
// Dragged rows from (file name, folder) pairs, the two texts a drag reads.
#include "finder/found_file.h"

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

} // namespace testsupport
