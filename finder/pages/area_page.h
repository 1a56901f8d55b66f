#pragma once
// The "Geographic Area" page: the two corners of the search area (typed, or
// dragged on the selection map), how a file's extent must relate to the area,
// and a picture of that relation.
#include "finder/search_criteria.h"

#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace finder {

class AreaPage : public QWidget {
    Q_OBJECT
public:
    explicit AreaPage(QWidget* parent = nullptr);

    // Shows the corner boxes (true) or the selection map in their place.
    void ShowCornerEdits(bool show);
    AreaMode areaMode() const;
    // Places the front picture relative to the back one for the chosen mode.
    void placeModePicture();
    void fillForm(CriteriaForm& form) const;
    // Empties the corners and checks Inclusive; the Lat/Lon switch stays.
    void reset();

    QFrame* selectionMap() const { return map_; }

private:
    QGroupBox* cornerGroup(const char* name, const QString& title, int top, const char* xName,
                           const char* yName, QLineEdit** x, QLineEdit** y);

    QGroupBox* northwest_;
    QGroupBox* southeast_;
    QLineEdit* northwestX_ = nullptr;
    QLineEdit* northwestY_ = nullptr;
    QLineEdit* southeastX_ = nullptr;
    QLineEdit* southeastY_ = nullptr;
    QFrame* map_;
    QRadioButton* inclusive_;
    QRadioButton* exclusive_;
    QRadioButton* intersection_;
    QCheckBox* geodetic_;
    QLabel* geoCoords_;
    QLabel* backIcon_;
    QLabel* foreIcon_;
};

// Where the front picture goes for `mode`, given the back picture's place.
QPoint foreIconPosition(QPoint backIcon, AreaMode mode);

} // namespace finder
