// The Spatial Objects page: counts of point, line, polygon and other
// objects (a container's over all its layers), read with the file's facts
// on each press of Count.
#include "module.h"
#include "page_templates.h"
#include "page_text.h"
#include "pages.h"
#include "sheet_facts.h"

#include <algorithm>
#include <climits>

#include <string>

namespace velmora {

namespace {

constexpr int kCountIds[] = {IDC_POINT_OBJECTS, IDC_LINE_OBJECTS, IDC_POLYGON_OBJECTS,
                             IDC_OTHER_OBJECTS, IDC_TOTAL_OBJECTS};

void setAll(HWND dialog, const char* text) {
    for (const int id : kCountIds)
        platform::SetDlgItemText(dialog, id, text);
}

// A count as the page's 32-bit fields hold it.
std::int32_t count32(std::int64_t n) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(n, INT32_MAX));
}

void count(HWND dialog) {
    WaitCursor wait;
    const strand32::FileFacts facts = countedFacts();
    if (!facts.counts) {
        setAll(dialog, kUnknown);
        return;
    }
    const strand32::ObjectCounts& c = *facts.counts;
    const struct {
        std::int32_t points, lines, polygons, others;
    } counts{count32(c.points), count32(c.lines), count32(c.polygons), count32(c.others)};
    // The total is a 32-bit sum: it wraps as the counts' own type would.
    const std::uint32_t total =
        static_cast<std::uint32_t>(counts.points) + static_cast<std::uint32_t>(counts.lines) +
        static_cast<std::uint32_t>(counts.polygons) + static_cast<std::uint32_t>(counts.others);
    const std::int32_t values[] = {counts.points, counts.lines, counts.polygons, counts.others,
                                   static_cast<std::int32_t>(total)};
    for (std::size_t i = 0; i < std::size(kCountIds); ++i)
        platform::SetDlgItemText(dialog, kCountIds[i], std::to_string(values[i]).c_str());
}

void showNotCounted(HWND dialog) {
    setAll(dialog, kNotCounted);
}

// Count, whatever its notification code; other controls are not handled.
bool countOnButton(HWND dialog, int controlId) {
    if (controlId != IDC_COUNT)
        return false;
    count(dialog);
    return true;
}

} // namespace

INT_PTR ObjectsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return dispatchPageMessage({showNotCounted, countOnButton}, dialog, message, wParam);
}

} // namespace velmora
