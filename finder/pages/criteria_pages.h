#pragma once
// The page control of the criteria: five pages, and the one seam between the
// controls and the search: the form the pages fill when Find Now is pressed.
#include "DateUtil.h"
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

#include <QTabWidget>

namespace finder {

class AdvancedPage;
class AreaPage;
class CoordSysPage;
class DatePage;
class NameLocationPage;

class CriteriaPages : public QTabWidget {
    Q_OBJECT
public:
    enum Page { NameLocation, DateModified, GeographicArea, CoordinateSystem, Advanced };

    CriteriaPages(int monthsLimit, int daysLimit, QWidget* parent = nullptr);

    NameLocationPage* nameLocation() const { return nameLocation_; }
    DatePage* date() const { return date_; }
    AreaPage* area() const { return area_; }
    CoordSysPage* coordSys() const { return coordSys_; }
    AdvancedPage* advanced() const { return advanced_; }

    // What every control holds now, the Look-in rule applied.
    CriteriaForm form() const;
    // Every control's state in a saved search, and back, page by page.
    void saveState(SavedSearchHeader& header) const;
    void loadState(const SavedSearchHeader& header);
    // The defaults New Search restores (the Lat/Lon switch and the month and
    // day counts keep their texts).
    void reset(int lookInIndex, DateUtil::CivilDate today);

signals:
    // The Geographic Area page became current with the map panel shown.
    void geographicAreaShown();

private:
    void pageChanged(int index);

    NameLocationPage* nameLocation_;
    DatePage* date_;
    AreaPage* area_;
    CoordSysPage* coordSys_;
    AdvancedPage* advanced_;
};

} // namespace finder
