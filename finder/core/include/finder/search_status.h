#pragma once
// Texts the search shows in the status line.
#include <cstdint>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kSearchingPrefix = "Searching: ";

// While rows shown from the catalogue are checked against the disk.
inline constexpr std::string_view kCheckingPrefix = "From the catalogue, checking: ";
inline constexpr std::string_view kCatalogueOffText =
    "the catalogue is off (KAVREL_CACHE=off)";
inline constexpr std::string_view kCatalogueAloneOffText =
    "the catalogue is off (KAVREL_CATALOGUE=off)";

// "Searching: " followed by the folder.
std::string searchingText(std::string_view folder);
// "From the catalogue, checking: " followed by the folder.
std::string checkingText(std::string_view folder);
// The catalogue knows nothing of the folder.
std::string notCataloguedText(std::string_view folder);
// "%d file(s) found".
std::string filesFoundText(std::uint64_t count);

} // namespace finder
