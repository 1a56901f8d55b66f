#pragma once
// The "Geographic Area" page: the two corners of the search area (typed, or
// dragged on the selection map), how a file's extent must relate to the area,
// and a picture of that relation.
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace finder {

class CornerEdit;

class AreaPage : public QWidget {
    Q_OBJECT
public:
    explicit AreaPage(QWidget* parent = nullptr);

    // Shows the corner boxes (true) or the selection map in their place.
    void ShowCornerEdits(bool show);
    // Checks "Lat / Lon", which shows the selection map.
    void showSelectionMap();
    AreaMode areaMode() const;
    // Places the front picture relative to the back one for the chosen mode.
    void placeModePicture();
    void fillForm(CriteriaForm& form) const;
    // The page's controls in a saved search, and back.
    void saveState(SavedSearchHeader& header) const;
    void loadState(const SavedSearchHeader& header);
    // Empties the corners and checks Inclusive; the Lat/Lon switch stays.
    void reset();

    QFrame* selectionMap() const { return map_; }

    // The corner boxes in the order NorthwestX, NorthWestY, SoutheastX,
    // SoutheastY, as the selection map reads and writes them.
    enum Corner { NorthwestXBox, NorthWestYBox, SoutheastXBox, SoutheastYBox };
    QString cornerText(Corner corner) const;
    void setCornerText(Corner corner, const QString& text);
    // The GeoCoords read-out under the map.
    void setReadout(const QString& text);

signals:
    // A corner box's text changed, typed or set by the map.
    void cornersChanged();

public:
    // Makes this page the active one of the page control (set by its owner).
    void setPageActivator(std::function<void()> activate) { activatePage_ = std::move(activate); }

    // Leave handlers of the corner boxes: each checks its own box.
    void NorthwestXExit();
    void NorthWestYExit();
    void SoutheastXExit();
    void SoutheastYExit();
    void GeodeticClick();

private:
    QGroupBox* cornerGroup(const char* name, const QString& title, int top, const char* xName,
                           const char* yName, CornerEdit** x, CornerEdit** y);
    void checkCorner(CornerEdit* box, bool longitude);
    void reportCornerError(CornerEdit* box, const std::string& message, int selectionStart);

    QGroupBox* northwest_;
    QGroupBox* southeast_;
    CornerEdit* northwestX_ = nullptr;
    CornerEdit* northwestY_ = nullptr;
    CornerEdit* southeastX_ = nullptr;
    CornerEdit* southeastY_ = nullptr;
    QFrame* map_;
    QRadioButton* inclusive_;
    QRadioButton* exclusive_;
    QRadioButton* intersection_;
    QCheckBox* geodetic_;
    QLabel* geoCoords_;
    QLabel* backIcon_;
    QLabel* foreIcon_;
    std::function<void()> activatePage_;
    // Set while a failed check is being reported: giving the focus back to
    // the box, and the message box, make other boxes (or this one) lose the
    // focus, which must not start another check.
    bool reporting_ = false;
};

// Where the front picture goes for `mode`, given the back picture's place.
QPoint foreIconPosition(QPoint backIcon, AreaMode mode);

} // namespace finder
