#pragma once
// Joins texts; written out because GCC 12 warns wrongly on "text" + string.
#include <initializer_list>
#include <string>
#include <string_view>

namespace finder {

inline std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

} // namespace finder
