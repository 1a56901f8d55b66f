#include "finder/criteria_form.h"

#include <finder/coords/corner_entry.h>

#include <algorithm>

namespace finder {

using DateUtil::BackUnit;

namespace {

// The date bits and bounds; `previous` keeps the bounds a text cannot give.
void buildDates(const CriteriaForm& form, DateUtil::CivilDate todayUtc, BuiltCriteria& built) {
    SearchCriteria& c = built.criteria;
    if (!form.findAllModified)
        return;
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

// The area is searched when all four corner texts are given.
void buildArea(const CriteriaForm& form, SearchCriteria& c) {
    c.areaMode = form.areaMode;
    if (form.northwestX.empty() || form.northwestY.empty() || form.southeastX.empty() ||
        form.southeastY.empty())
        return;
    c.flags |= CriteriaFlags::Area;
    const coords::CornerValues corners = coords::cornerValuesForSearch(
        {form.northwestX, form.northwestY, form.southeastX, form.southeastY}, form.latLonMode);
    c.area = {corners.northwestX, corners.northwestY, corners.southeastX, corners.southeastY};
    c.areaInDegrees = corners.latLon;
}

} // namespace

BuiltCriteria buildCriteria(const CriteriaForm& form, const SearchCriteria& previous,
                            DateUtil::CivilDate todayUtc) {
    BuiltCriteria built;
    SearchCriteria& c = built.criteria;
    const bool allTypes = form.namedText == kAllTypesText;
    c.namePattern = allTypes ? std::string("*.*") : form.namedText;
    c.startFolder = form.startFolder;
    c.includeSubfolders = form.includeSubfolders;
    c.startDate = previous.startDate;
    c.endDate = previous.endDate;
    buildDates(form, todayUtc, built);
    buildArea(form, c);

    c.groupName = form.groupName;
    c.systemName = form.systemName;
    c.datumName = form.datumName;
    if (c.groupName)
        c.flags |= CriteriaFlags::CoordSysMatch;

    c.sizeMode = form.sizeMode;
    if (c.sizeMode != SizeMode::None)
        c.flags |= CriteriaFlags::Size;
    c.sizeKB = static_cast<std::uint32_t>(std::max(DateUtil::leadingInteger(form.kbText), 0));

    if (allTypes)
        c.flags |= CriteriaFlags::LayerTypes;
    return built;
}

SizeMode sizeModeOfItem(int index) {
    switch (index) {
    case 1:
        return SizeMode::AtLeast;
    case 2:
        return SizeMode::AtMost;
    default:
        return SizeMode::None;
    }
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

std::string dateBoxText(DateUtil::DosDate date) {
    return DateUtil::dateText(date, true).substr(0, kDateBoxLength);
}

DefaultDates defaultDates(DateUtil::CivilDate today) {
    return {DateUtil::dateBack(3, DateUtil::BackUnit::Months, today),
            DateUtil::dosDate(today.year, today.month, today.day)};
}

} // namespace finder
