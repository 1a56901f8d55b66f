// The pages' dialog templates: a label and a value control per row, in
// dialog units of "MS Sans Serif" 8 on a 194 x 150 page.
#include "page_templates.h"

#include "velmora/page_layout.h"

#include <array>
#include <iterator>
#include <utility>

namespace velmora {

namespace {

using platform::ControlKind;
using platform::DialogControl;
using platform::IDC_STATIC;

constexpr short kLabelX = 8, kLabelWidth = 74, kValueX = 86, kValueWidth = 100, kRowHeight = 8;

constexpr DialogControl label(const char* text, short y) {
    return {ControlKind::Static, IDC_STATIC, text, kLabelX, y, kLabelWidth, kRowHeight};
}
constexpr DialogControl value(int id, short y) {
    return {ControlKind::Static, id, "", kValueX, y, kValueWidth, kRowHeight};
}

constexpr DialogControl kGeoControls[] = {
    label(kGeoLabels[0], 12),      value(IDC_COORDSYS, 12),        label(kGeoLabels[1], 28),
    value(IDC_DATUM, 28),          label(kGeoLabels[2], 44),       value(IDC_UNITS, 44),
    label(kGeoLabels[3], 70),      value(IDC_NORTHWEST_NORTH, 70), label(kGeoLabels[4], 86),
    value(IDC_NORTHWEST_EAST, 86), label(kGeoLabels[5], 102),      value(IDC_SOUTHEAST_NORTH, 102),
    label(kGeoLabels[6], 118),     value(IDC_SOUTHEAST_EAST, 118),
};

constexpr DialogControl kObjectControls[] = {
    label(kObjectLabels[0], 12),
    value(IDC_POINT_OBJECTS, 12),
    label(kObjectLabels[1], 28),
    value(IDC_LINE_OBJECTS, 28),
    label(kObjectLabels[2], 44),
    value(IDC_POLYGON_OBJECTS, 44),
    label(kObjectLabels[3], 60),
    value(IDC_OTHER_OBJECTS, 60),
    label(kObjectLabels[4], 84),
    value(IDC_TOTAL_OBJECTS, 84),
    {ControlKind::PushButton, IDC_COUNT, "Count", 136, 126, 50, 14},
};

constexpr short kLayerY = 22, kLayerStep = 9;
constexpr short kLayerNameWidth = 60, kLayerTextX = 72, kLayerTextWidth = 114;

// A layer row's name (left) or description (right): texts the page fills.
struct LayerColumn {
    int firstId;
    short x, width;
};
constexpr LayerColumn kLayerName{IDC_LAYER_NAME, kLabelX, kLayerNameWidth};
constexpr LayerColumn kLayerText{IDC_LAYER_TEXT, kLayerTextX, kLayerTextWidth};

constexpr DialogControl layerCell(const LayerColumn& column, int row) {
    return {ControlKind::Static,
            column.firstId + row,
            "",
            column.x,
            static_cast<short>(kLayerY + row * kLayerStep),
            column.width,
            kRowHeight};
}

template <std::size_t... Row>
constexpr std::array<DialogControl, 3 + 2 * sizeof...(Row)>
layerControls(std::index_sequence<Row...>) {
    return {
        {{ControlKind::Static, IDC_STATIC, kLayerHeading, kLabelX, 8, kLayerNameWidth, kRowHeight},
         {ControlKind::Static, IDC_STATIC, kLayerHeadingValue, kLayerTextX, 8, kLayerTextWidth,
          kRowHeight},
         layerCell(kLayerName, Row)...,
         layerCell(kLayerText, Row)...,
         {ControlKind::PushButton, IDC_COUNT, "Count", 136, 130, 50, 14}}};
}

constexpr auto kLayerControls = layerControls(std::make_index_sequence<kLayerRows>());

constexpr platform::DialogTemplate kTemplates[] = {
    {kGeoTemplate, kGeoTitle, "MS Sans Serif", 8, 194, 150, kGeoControls, std::size(kGeoControls)},
    {kObjectTemplate, kObjectTitle, "MS Sans Serif", 8, 194, 150, kObjectControls,
     std::size(kObjectControls)},
    {kLayerTemplate, kLayerTitle, "MS Sans Serif", 8, 194, 150, kLayerControls.data(),
     kLayerControls.size()},
};

} // namespace

const platform::ModuleResources kModuleResources = {kTemplates, std::size(kTemplates)};

} // namespace velmora
