#pragma once
// Layout of the main window, recomputed on every resize: the criteria pages
// take four fifths of the width, the buttons and the globe stand to their
// right, and the results list fills the rest below them.
#include "finder/search_criteria.h"

#include <QPoint>
#include <QRect>

class QWidget;

namespace finder {

// Design geometry the rules start from.
namespace Design {
inline constexpr QRect kFilterPages{8, 6, 442, 192};
inline constexpr int kButtonWidth = 74;
inline constexpr int kButtonHeight = 26;
inline constexpr int kFindNowTop = 32, kStopTop = 68, kNewSearchTop = 103;
inline constexpr int kGlobeTop = 148;
inline constexpr int kGlobeSize = 32;
inline constexpr int kCornerEditLeft = 56;
inline constexpr QPoint kBackIcon{352, 85};
inline constexpr int kResultListGap = 26; // between the pages and the list
} // namespace Design

struct LayoutInput {
    int windowWidth = 0;
    int clientHeight = 0;       // height the list may use, status line excluded
    int eastWestLabelWidth = 0; // width of the northwest "East / West" label
    int backIconTop = Design::kBackIcon.y();
    int lookInLeft = 76;
    AreaMode areaMode = AreaMode::Inclusive;
};

struct WindowLayout {
    int filterPagesWidth = 0;
    int buttonsLeft = 0;
    int namedWidth = 0;
    int lookInWidth = 0;
    int browseLeft = 0;
    int groupBox1Width = 0;
    int pickerWidth = 0;
    int cornerEditWidth = 0;
    int cornerLabelLeft = 0;
    int areaWidth = 0; // both corner groups and the map panel
    QPoint backIcon;
    QPoint foreIcon;
    int areaControlsLeft = 0; // mode buttons, Lat/Lon box, read-out
    QRect resultList;
    int globeLeft = 0;
};

WindowLayout computeWindowLayout(const LayoutInput& input);

// Applies `layout` to the controls found by name below `central`.
void applyWindowLayout(QWidget* central, const WindowLayout& layout);

// Lays the window's controls out for the current size of `window`.
void layOutWindow(QWidget* window, QWidget* central);

} // namespace finder
