#include "window_layout.h"

#include "../pages/area_page.h"

#include <QRadioButton>
#include <QWidget>

namespace finder {
namespace {

// Products are cut towards zero to whole pixels.
int scaled(int value, double factor) {
    return static_cast<int>(value * factor);
}

template <typename T = QWidget> T* child(QWidget* root, const QString& name) {
    return root->findChild<T*>(name);
}

void setLeft(QWidget* w, int left) {
    if (w)
        w->move(left, w->y());
}

void setWidth(QWidget* w, int width) {
    if (w)
        w->resize(width, w->height());
}

} // namespace

WindowLayout computeWindowLayout(const LayoutInput& in) {
    WindowLayout out;
    out.filterPagesWidth = scaled(in.windowWidth, 0.8);
    const int pagesRight = Design::kFilterPages.left() + out.filterPagesWidth;
    out.buttonsLeft = pagesRight + 16;
    out.namedWidth = scaled(out.filterPagesWidth, 0.667);
    out.lookInWidth = scaled(out.filterPagesWidth, 0.38);
    // The Look-in list keeps its design left; the button follows its right edge.
    out.browseLeft = in.lookInLeft + out.lookInWidth + 18;
    out.groupBox1Width = scaled(out.filterPagesWidth, 0.83);
    out.pickerWidth = scaled(out.filterPagesWidth, 0.58);
    out.cornerEditWidth = scaled(out.filterPagesWidth, 0.35);
    out.cornerLabelLeft = Design::kCornerEditLeft + out.cornerEditWidth + 12;
    out.areaWidth = out.cornerLabelLeft + in.eastWestLabelWidth + 39;
    const int areaRight = 16 + out.areaWidth;
    out.backIcon = QPoint(areaRight + 36, in.backIconTop);
    out.foreIcon = foreIconPosition(out.backIcon, in.areaMode);
    out.areaControlsLeft = areaRight + 20;
    const int listTop =
        Design::kFilterPages.top() + Design::kFilterPages.height() + Design::kResultListGap;
    const int listHeight = in.clientHeight - listTop;
    out.resultList = QRect(0, listTop, in.windowWidth - 8, listHeight > 0 ? listHeight : 0);
    out.globeLeft = out.buttonsLeft + (Design::kButtonWidth - Design::kGlobeSize) / 2;
    return out;
}

void applyWindowLayout(QWidget* central, const WindowLayout& l) {
    setWidth(child(central, "FilterPages"), l.filterPagesWidth);
    for (const char* name : {"FindNowButton", "StopButton", "NewSearchButton"})
        setLeft(child(central, name), l.buttonsLeft);
    setWidth(child(central, "NameComboBox"), l.namedWidth);
    setWidth(child(central, "DriveComboBox1"), l.lookInWidth);
    setLeft(child(central, "BrowseButton"), l.browseLeft);
    setWidth(child(central, "GroupBox1"), l.groupBox1Width);
    for (const char* name : {"CoordinateSystemGroup", "CoordinateSystem", "CoordinateDatum"})
        setWidth(child(central, name), l.pickerWidth);
    for (const char* name : {"NorthwestX", "NorthWestY", "SoutheastX", "SoutheastY"})
        setWidth(child(central, name), l.cornerEditWidth);
    for (const char* name :
         {"NorthwestXSide", "NorthWestYSide", "SoutheastXSide", "SoutheastYSide"})
        setLeft(child(central, name), l.cornerLabelLeft);
    for (const char* name : {"GroupBox2", "GroupBox3", "SelectionMap"})
        setWidth(child(central, name), l.areaWidth);
    if (QWidget* back = child(central, "BackIcon"))
        back->move(l.backIcon);
    if (QWidget* fore = child(central, "ForeIcon"))
        fore->move(l.foreIcon);
    for (const char* name : {"bInclusive", "bExclusive", "bIntersection", "Geodetic", "GeoCoords"})
        setLeft(child(central, name), l.areaControlsLeft);
    if (QWidget* list = child(central, "ResultList"))
        list->setGeometry(l.resultList);
    for (int i = 1; i <= 15; ++i)
        setLeft(child(central, QStringLiteral("Globe%1").arg(i)), l.globeLeft);
}

void layOutWindow(QWidget* window, QWidget* central) {
    LayoutInput in;
    in.windowWidth = window->width();
    in.clientHeight = central->height();
    if (QWidget* label = child(central, "NorthwestXSide"))
        in.eastWestLabelWidth = label->width();
    if (QWidget* back = child(central, "BackIcon"))
        in.backIconTop = back->y();
    if (QWidget* lookIn = child(central, "DriveComboBox1"))
        in.lookInLeft = lookIn->x();
    const auto checked = [central](const char* name) {
        const auto* button = child<QRadioButton>(central, name);
        return button && button->isChecked();
    };
    if (checked("bExclusive"))
        in.areaMode = AreaMode::Exclusive;
    else if (checked("bIntersection"))
        in.areaMode = AreaMode::Intersection;
    applyWindowLayout(central, computeWindowLayout(in));
}

} // namespace finder
