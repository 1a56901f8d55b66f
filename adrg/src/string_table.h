#pragma once
// The library's string table: error texts and the file-type filter.
#include <cstdint>
#include <string_view>

namespace rastrel {

enum StringId : std::int32_t {
    kCannotOpen = 1,
    kReadError = 2,
    kNoMemoryText = 3,
    kInvalidHandle = 4,
    kFileTypeFilter = 1000,
};

// The text of an id; empty when the table has none.
std::string_view stringText(std::int32_t id);

} // namespace rastrel
