// The Layers page: each layer of a container with its geometry type, its
// objects (on Count) and its system, from the sheet's reading of the file.
#include "page_templates.h"
#include "page_text.h"
#include "pages.h"
#include "sheet_facts.h"

#include <string>

namespace velmora {

namespace {

std::string objectsText(const std::optional<strand32::ObjectCounts>& counts, bool counted) {
    if (!counted)
        return kNotCounted;
    if (!counts)
        return kUnknown;
    const std::int64_t n = counts->points + counts->lines + counts->polygons + counts->others;
    return std::to_string(n) + (n == 1 ? " object" : " objects");
}

std::string layerText(const strand32::LayerFacts& layer, bool counted) {
    const auto known = [](const std::string& text) { return text.empty() ? kUnknown : text; };
    return known(layer.geometryType) + ", " + objectsText(layer.counts, counted) + ", " +
           known(layer.crsName);
}

void setRow(HWND dialog, int row, const std::string& name, const std::string& text) {
    platform::SetDlgItemText(dialog, IDC_LAYER_NAME + row, name.c_str());
    platform::SetDlgItemText(dialog, IDC_LAYER_TEXT + row, text.c_str());
}

// One row per layer; when they do not all fit, the last row tells how many
// are left out.
void showLayers(HWND dialog, const strand32::FileFacts& facts, bool counted) {
    const auto& layers = facts.layers;
    const bool fits = layers.size() <= static_cast<std::size_t>(kLayerRows);
    const int shown = fits ? static_cast<int>(layers.size()) : kLayerRows - 1;
    for (int row = 0; row < kLayerRows; ++row) {
        if (row < shown) {
            const strand32::LayerFacts& layer = layers[static_cast<std::size_t>(row)];
            setRow(dialog, row, layer.name.empty() ? kUnknown : layer.name,
                   layerText(layer, counted));
        } else if (row == shown && !fits) {
            setRow(dialog, row, "More",
                   std::to_string(layers.size() - static_cast<std::size_t>(shown)) +
                       " more layers");
        } else {
            setRow(dialog, row, {}, {});
        }
    }
}

void initialise(HWND dialog) {
    WaitCursor wait;
    showLayers(dialog, *sheetFacts(), false);
}

bool countOnButton(HWND dialog, int controlId) {
    if (controlId != IDC_COUNT)
        return false;
    WaitCursor wait;
    showLayers(dialog, countedFacts(), true);
    return true;
}

} // namespace

INT_PTR LayersPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return dispatchPageMessage({initialise, countOnButton}, dialog, message, wParam);
}

} // namespace velmora
