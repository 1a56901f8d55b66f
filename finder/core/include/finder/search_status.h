#pragma once
// Texts the search shows in the status line.
#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kSearchingPrefix = "Searching: ";

// "Searching: " followed by the folder.
std::string searchingText(std::string_view folder);
// "%d file(s) found".
std::string filesFoundText(std::uint64_t count);

} // namespace finder
