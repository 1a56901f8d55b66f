#pragma once
// The form layer: what the criteria controls (or kavrel-find's options) hold
// when Find Now is pressed, and its one conversion into typed criteria. This
// is the only place of the core that knows the controls' captions.
#include "DateUtil.h"
#include "finder/search_criteria.h"

#include <optional>
#include <string>
#include <string_view>

namespace finder {

inline constexpr std::string_view kAllTypesText = "( All types )";
inline constexpr std::string_view kSizeAtLeastText = "at least";
inline constexpr std::string_view kSizeAtMostText = "at most";

struct CriteriaForm {
    std::string namedText{kAllTypesText};
    std::string startFolder; // already through the Look-in rule
    bool includeSubfolders = true;
    bool findAllModified = false; // else "All Files"
    bool between = false, previousMonths = false, previousDays = false;
    std::string dateStartText, dateEndText;
    std::string prevMonthsText{"1"}, prevDaysText{"1"};
    std::string northwestX, northwestY, southeastX, southeastY;
    bool latLonMode = true; // the selection map is shown
    AreaMode areaMode = AreaMode::Inclusive;
    // The picked names; none when "( Any )" (or nothing) is picked.
    std::optional<std::string> groupName, systemName, datumName;
    SizeMode sizeMode = SizeMode::None;
    std::string kbText;
};

struct BuiltCriteria {
    SearchCriteria criteria;
    // True when no second-group date button was checked and "between" was
    // chosen for the user: the window checks FindBetweenRadioButton.
    bool betweenChosen = false;
};

// Turns the form into typed criteria and flags. A date text that cannot be
// parsed keeps the bound of `previous` (the last search's criteria); the
// corner texts are read as degrees when the map is shown or the northwest X
// looks like a longitude, else as plain numbers.
BuiltCriteria buildCriteria(const CriteriaForm& form, const SearchCriteria& previous,
                            DateUtil::CivilDate todayUtc);

// The size mode of the "Size is:" list's item (-1: nothing picked; item 0
// is the empty one).
SizeMode sizeModeOfItem(int index);

enum class LookInKind { Drive, Folder };

// Look-in rule. Drive items ("/media/usb [USB]") are cut at their first " ["
// and end in "/"; folder items (Browse, saved searches) are used whole.
std::string lookInStartFolder(std::string_view lookInText, LookInKind kind);
// A mounted volume's Look-in item: "/media/usb [USB]", or the mount point
// alone when the volume has no label.
std::string driveItemText(std::string_view mountPoint, std::string_view label);

// Date boxes: "MM/DD/YYYY", zero-padded; a new search's boxes hold the day
// three months back and today.
inline constexpr std::size_t kDateBoxLength = 10;
std::string dateBoxText(DateUtil::DosDate date);
struct DefaultDates {
    DateUtil::DosDate start, end;
};
DefaultDates defaultDates(DateUtil::CivilDate today);

// Months and days boxes: the text a box is corrected to, or nullopt when the
// typed text stays (n > limit gives the limit, n < 1 gives "1").
std::optional<std::string> correctedCountText(std::string_view text, int limit);
int monthsLimit(int currentYear); // (year - 1980) * 12
int daysLimit(int currentYear);   // (year - 1980) * 365

} // namespace finder
