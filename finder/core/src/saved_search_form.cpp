// Between criteria forms and saved-search headers, for kavrel-find's saves
// and loads: the same bytes a window would store for the same criteria.
#include "finder/saved_search_form.h"

#include "finder/coords/coordsys_pickers.h"

#include <platform/drive_kind.h>

#include <strings.h>

namespace finder {
namespace {

// A typed date as its box shows it; the default date when none was typed.
std::string dateBoxTextOf(const std::string& typed, DateUtil::DosDate fallback) {
    const auto date = typed.empty() ? std::optional(fallback) : DateUtil::parseDate(typed);
    return date ? dateBoxText(*date) : typed;
}

std::string pickerText(const std::optional<std::string>& name) {
    return name.value_or(std::string(kAnyItemText));
}

bool isDriveItem(const std::string& text) {
    for (const platform::Volume& volume : platform::mountedVolumes())
        if (strcasecmp(driveItemText(volume.mountPoint, volume.label).c_str(), text.c_str()) == 0)
            return true;
    return false;
}

} // namespace

std::string driveItemText(std::string_view mountPoint, std::string_view label) {
    std::string text(mountPoint);
    if (!label.empty())
        text.append(" [").append(label).append("]");
    return text;
}

SavedSearchHeader headerOfForm(const CriteriaForm& form, const std::string& lookInText,
                               DateUtil::CivilDate today) {
    SavedSearchHeader h;
    h.namedText = form.namedText;
    h.lookInText = lookInText;
    h.recurse = form.includeSubfolders;
    h.allFiles = !form.findAllModified;
    h.findAllModified = form.findAllModified;
    h.between = form.between;
    const DefaultDates dates = defaultDates(today);
    h.dateStartText = dateBoxTextOf(form.dateStartText, dates.start);
    h.dateEndText = dateBoxTextOf(form.dateEndText, dates.end);
    h.previousMonths = form.previousMonths;
    h.prevMonthsText = form.prevMonthsText;
    h.previousDays = form.previousDays;
    h.prevDaysText = form.prevDaysText;
    h.inclusive = form.areaMode == AreaMode::Inclusive;
    h.exclusive = form.areaMode == AreaMode::Exclusive;
    h.intersection = form.areaMode == AreaMode::Intersection;
    h.northwestX = form.northwestX;
    h.northwestY = form.northwestY;
    h.southeastX = form.southeastX;
    h.southeastY = form.southeastY;
    h.systemGroupText = pickerText(form.groupName);
    h.systemText = pickerText(form.systemName);
    h.datumText = pickerText(form.datumName);
    h.sizeModeText = form.sizeMode == SizeMode::AtLeast  ? std::string(kSizeAtLeastText)
                     : form.sizeMode == SizeMode::AtMost ? std::string(kSizeAtMostText)
                                                         : std::string();
    // A new window's KB box holds "0".
    h.kbText = form.sizeMode == SizeMode::None && form.kbText.empty() ? "0" : form.kbText;
    h.geodetic = form.latLonMode;
    return h;
}

CriteriaForm formOfHeader(const SavedSearchHeader& h) {
    CriteriaForm form;
    form.namedText = h.namedText;
    form.startFolder = lookInStartFolder(
        h.lookInText, isDriveItem(h.lookInText) ? LookInKind::Drive : LookInKind::Folder);
    form.includeSubfolders = h.recurse;
    form.findAllModified = h.findAllModified;
    form.between = h.between;
    form.previousMonths = h.previousMonths;
    form.previousDays = h.previousDays;
    form.dateStartText = h.dateStartText;
    form.dateEndText = h.dateEndText;
    form.prevMonthsText = h.prevMonthsText;
    form.prevDaysText = h.prevDaysText;
    form.northwestX = h.northwestX;
    form.northwestY = h.northwestY;
    form.southeastX = h.southeastX;
    form.southeastY = h.southeastY;
    form.latLonMode = h.geodetic;
    form.areaMode = h.exclusive      ? AreaMode::Exclusive
                    : h.intersection ? AreaMode::Intersection
                                     : AreaMode::Inclusive;
    const auto picked = [](const std::string& text) -> std::optional<std::string> {
        if (text.empty() || text == kAnyItemText)
            return std::nullopt;
        return text;
    };
    form.groupName = picked(h.systemGroupText);
    form.systemName = picked(h.systemText);
    form.datumName = picked(h.datumText);
    form.sizeMode = h.sizeModeText == kSizeAtLeastText  ? SizeMode::AtLeast
                    : h.sizeModeText == kSizeAtMostText ? SizeMode::AtMost
                                                        : SizeMode::None;
    form.kbText = h.kbText;
    return form;
}

int shownRowCount(const SavedSearch& saved) {
    const int stored = saved.header.rowCount;
    if (!saved.header.saveResults)
        return stored < 0 ? 0 : stored;
    return static_cast<int>(saved.rows.size());
}

} // namespace finder
