#include "finder/search_criteria.h"

#include <algorithm>

namespace finder {

using DateUtil::BackUnit;

BuiltCriteria buildCriteria(const CriteriaForm& form, const SearchCriteria& previous,
                            DateUtil::CivilDate todayUtc) {
    BuiltCriteria built;
    SearchCriteria& c = built.criteria;
    c.namePattern = form.namedText;
    c.startFolder = form.startFolder;
    c.includeSubfolders = form.includeSubfolders;
    c.startDate = previous.startDate;
    c.endDate = previous.endDate;

    if (form.findAllModified) {
        const bool between = form.between || (!form.previousMonths && !form.previousDays);
        built.betweenChosen = !form.between && between;
        if (between) {
            if (auto start = DateUtil::parseDate(form.dateStartText))
                c.startDate = *start;
            if (auto end = DateUtil::parseDate(form.dateEndText))
                c.endDate = *end;
            c.flags |= CriteriaFlags::DateBetween;
        } else if (form.previousMonths) {
            c.startDate = DateUtil::dateBack(DateUtil::leadingInteger(form.prevMonthsText),
                                             BackUnit::Months, todayUtc);
            c.flags |= CriteriaFlags::DatePreviousMonths;
        } else {
            c.startDate = DateUtil::dateBack(DateUtil::leadingInteger(form.prevDaysText),
                                             BackUnit::Days, todayUtc);
            c.flags |= CriteriaFlags::DatePreviousDays;
        }
    }

    c.northwestX = form.northwestX;
    c.northwestY = form.northwestY;
    c.southeastX = form.southeastX;
    c.southeastY = form.southeastY;
    if (!c.northwestX.empty() && !c.northwestY.empty() && !c.southeastX.empty() &&
        !c.southeastY.empty())
        c.flags |= CriteriaFlags::Area;
    c.latLonMode = form.latLonMode;
    c.areaMode = form.areaMode;

    c.groupName = form.groupName;
    c.systemName = form.systemName;
    c.datumName = form.datumName;
    if (c.groupName != AnyText)
        c.flags |= CriteriaFlags::CoordSysMatch;

    c.sizeMode = form.sizeMode;
    if (!c.sizeMode.empty())
        c.flags |= CriteriaFlags::Size;
    c.sizeKB = static_cast<std::uint32_t>(std::max(DateUtil::leadingInteger(form.kbText), 0));

    if (c.namePattern == AllTypesText)
        c.flags |= CriteriaFlags::LayerTypes;
    return built;
}

std::string walkPattern(const SearchCriteria& criteria) {
    if (criteria.namePattern == AllTypesText)
        return "*.*";
    return criteria.namePattern;
}

std::string lookInStartFolder(std::string_view lookInText, LookInKind kind) {
    if (kind == LookInKind::Folder)
        return std::string(lookInText);
    std::string folder(lookInText.substr(0, lookInText.find(" [")));
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::optional<std::string> correctedCountText(std::string_view text, int limit) {
    const int n = DateUtil::leadingInteger(text);
    if (n > limit)
        return std::to_string(limit);
    // A count below one (also an empty or non-numeric text) would search
    // from today or from a date in the future.
    if (n < 1)
        return std::string("1");
    return std::nullopt;
}

int monthsLimit(int currentYear) {
    return (currentYear - 1980) * 12;
}

int daysLimit(int currentYear) {
    return (currentYear - 1980) * 365;
}

} // namespace finder
