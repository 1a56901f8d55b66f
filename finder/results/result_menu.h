#pragma once
// The popup menu of the results list, ResultMenu: the three companion
// programs, then the desktop's own handlers; and the double-click, which
// opens the first selected row in the full viewer.
#include "results/companion_launcher.h"

#include <QPoint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class QMenu;
class QWidget;

namespace finder {

inline constexpr std::string_view kOpenWithDefaultCaption = "Open With Default Application";
inline constexpr std::string_view kOpenContainingFolderCaption = "Open Containing Folder";
inline constexpr std::string_view kShowOnMapCaption = "Show on Map";

// The window's own item: "Show on Map", last, below a separator, when
// `show` is given; enabled when some selected row is on the map.
struct MapItem {
    std::function<void()> show;
    bool enabled = true;
};

// The menu for the selected rows (in list order), not shown; null when no
// row is selected. With the full viewer registered: "Atlion View" (default),
// "Atlion QuickView", "Atlion Translate"; without it "Atlion QuickView"
// (default), "Atlion Translate" and "Atlion View" disabled and hidden. Below
// a separator the desktop's items, always enabled: the default application,
// "Open With" (the applications of the first selected file's type, then
// "Other Application…") and the containing folder. Each item acts on the
// rows when triggered.
std::unique_ptr<QMenu> buildResultMenu(QWidget* parent, const std::vector<RowTexts>& selected,
                                       const MapItem& mapItem = {});

// Builds the menu and pops it up at `globalPosition` until it is closed.
void showResultMenu(QWidget* parent, const QPoint& globalPosition,
                    const std::vector<RowTexts>& selected, const MapItem& mapItem = {});

// The double-click on the list: see openFirstInFullViewer; a failed start
// shows its box over `parent`.
LaunchResult openInFullViewer(QWidget* parent, const std::vector<RowTexts>& selected);

} // namespace finder
