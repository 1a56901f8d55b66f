#pragma once
// Texts the search shows in the status line and its message boxes.
#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kAppTitle = "Atlion Find";
inline constexpr std::string_view kAppVersion = "Version 1.6";
inline constexpr std::string_view kSearchingPrefix = "Searching: ";
inline constexpr std::string_view kClearSearchQuestion = "This will clear your current search.";
inline constexpr std::string_view kBrowseTitle =
    "Select the folder where you want to begin the search.";

// "Searching: " followed by the folder.
std::string searchingText(std::string_view folder);
// "%d file(s) found".
std::string filesFoundText(std::uint64_t count);

} // namespace finder
