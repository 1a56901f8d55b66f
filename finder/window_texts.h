#pragma once
// Captions, titles and questions of the finder window's own boxes and
// dialogs; the core's texts (status line, rows) are in search_status.h.
#include <string_view>

namespace finder {

inline constexpr std::string_view kAppTitle = "Atlion Find";
inline constexpr std::string_view kAppVersion = "Version 1.6";
inline constexpr std::string_view kClearSearchQuestion = "This will clear your current search.";
inline constexpr std::string_view kBrowseTitle =
    "Select the folder where you want to begin the search.";
inline constexpr std::string_view kSaveSearchQuestion =
    "A shortcut will be created and placed on the desktop.\nDo you want to continue?";
inline constexpr std::string_view kCreateFileErrorCaption = "CreateProcess error";

} // namespace finder
