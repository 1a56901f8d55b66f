#pragma once
// The "Coordinate System" page: group, system and datum a file must have.
// The lists are filled from the coordinate-system database.
#include "finder/search_criteria.h"

#include <QWidget>

class QComboBox;
class QGroupBox;

namespace finder {

class CoordSysPage : public QWidget {
    Q_OBJECT
public:
    explicit CoordSysPage(QWidget* parent = nullptr);

    void fillForm(CriteriaForm& form) const;
    // Item 0 of each list, without running the change handlers.
    void reset();

private:
    QGroupBox* group_;
    QComboBox* systemGroup_;
    QComboBox* system_;
    QComboBox* datum_;
};

} // namespace finder
