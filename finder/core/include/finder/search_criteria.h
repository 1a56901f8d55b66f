#pragma once
// One search, built once from the criteria pages when Find Now is pressed and
// then shared read-only by the walk and the candidate test.
#include "DateUtil.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace finder {

// Bits of SearchCriteria::flags; the candidate test runs them lowest first.
namespace CriteriaFlags {
inline constexpr std::uint16_t DateBetween = 0x01;
inline constexpr std::uint16_t DatePreviousMonths = 0x02;
inline constexpr std::uint16_t DatePreviousDays = 0x04;
inline constexpr std::uint16_t Area = 0x08;
inline constexpr std::uint16_t CoordSysMatch = 0x10;
inline constexpr std::uint16_t Size = 0x20;
inline constexpr std::uint16_t LayerTypes = 0x40;
} // namespace CriteriaFlags

enum class AreaMode { Inclusive, Exclusive, Intersection };

inline constexpr std::string_view AllTypesText = "( All types )";
inline constexpr std::string_view AnyText = "( Any )";
inline constexpr std::string_view SizeAtLeast = "at least";
inline constexpr std::string_view SizeAtMost = "at most";

struct SearchCriteria {
    std::string namePattern{AllTypesText}; // pattern, or "( All types )"
    std::string startFolder;               // after the Look-in rule
    bool includeSubfolders = true;
    std::uint16_t flags = 0;
    DateUtil::DosDate startDate = 0;
    DateUtil::DosDate endDate = 0;
    std::string northwestX, northwestY, southeastX, southeastY;
    bool latLonMode = true;
    AreaMode areaMode = AreaMode::Inclusive;
    std::string groupName{AnyText}, systemName{AnyText}, datumName{AnyText};
    std::string sizeMode;     // empty, "at least" or "at most"
    std::uint32_t sizeKB = 0; // leading digits of the KB text, 0 if none
};

// What the criteria controls hold when Find Now is pressed.
struct CriteriaForm {
    std::string namedText{AllTypesText};
    std::string startFolder; // already through the Look-in rule
    bool includeSubfolders = true;
    bool findAllModified = false; // else "All Files"
    bool between = false, previousMonths = false, previousDays = false;
    std::string dateStartText, dateEndText;
    std::string prevMonthsText{"1"}, prevDaysText{"1"};
    std::string northwestX, northwestY, southeastX, southeastY;
    bool latLonMode = true;
    AreaMode areaMode = AreaMode::Inclusive;
    std::string groupName{AnyText}, systemName{AnyText}, datumName{AnyText};
    std::string sizeMode;
    std::string kbText;
};

struct BuiltCriteria {
    SearchCriteria criteria;
    // True when no second-group date button was checked and "between" was
    // chosen for the user: the window checks FindBetweenRadioButton.
    bool betweenChosen = false;
};

// Turns the form into criteria and flags. A date text that cannot be parsed
// keeps the bound of `previous` (the last search's criteria).
BuiltCriteria buildCriteria(const CriteriaForm& form, const SearchCriteria& previous,
                            DateUtil::CivilDate todayUtc);

// The pattern the walk lists with: "*.*" for "( All types )", else the text.
std::string walkPattern(const SearchCriteria& criteria);

enum class LookInKind { Drive, Folder };

// Look-in rule. Drive items ("/media/usb [USB]") are cut at their first " ["
// and end in "/"; folder items (Browse, saved searches) are used whole.
std::string lookInStartFolder(std::string_view lookInText, LookInKind kind);

// Months and days boxes: the text a box is corrected to, or nullopt when the
// typed text stays (n > limit gives the limit, n == 0 gives "1").
std::optional<std::string> correctedCountText(std::string_view text, int limit);
int monthsLimit(int currentYear); // (year - 1980) * 12
int daysLimit(int currentYear);   // (year - 1980) * 365

} // namespace finder
