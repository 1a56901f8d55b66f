// The Spatial Objects page: counts of point, line, polygon and other
// objects, asked of the library on each press of Count.
#include "module.h"
#include "page_templates.h"
#include "page_text.h"
#include "pages.h"

#include "strand32/layer.h"
#include "strand32/mapora.h"

#include <string>

namespace velmora {

namespace {

constexpr int kCountIds[] = {IDC_POINT_OBJECTS, IDC_LINE_OBJECTS, IDC_POLYGON_OBJECTS,
                             IDC_OTHER_OBJECTS, IDC_TOTAL_OBJECTS};

void setAll(HWND dialog, const char* text) {
    for (const int id : kCountIds)
        platform::SetDlgItemText(dialog, id, text);
}

void count(HWND dialog) {
    LayerDescriptor layer;
    strand32::buildPageLayerDescriptor(currentFileName(), layer);
    WaitCursor wait;
    MaporaObjectCounts counts{};
    if (!Mapora_LayerObjectCount(&layer, &counts)) {
        setAll(dialog, kUnknown);
        return;
    }
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
