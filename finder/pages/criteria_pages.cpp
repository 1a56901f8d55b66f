#include "criteria_pages.h"

#include "advanced_page.h"
#include "area_page.h"
#include "coordsys_page.h"
#include "date_page.h"
#include "name_location_page.h"

#include <QFrame>

namespace finder {

CriteriaPages::CriteriaPages(int monthsLimit, int daysLimit, QWidget* parent)
    : QTabWidget(parent), nameLocation_(new NameLocationPage),
      date_(new DatePage(monthsLimit, daysLimit)), area_(new AreaPage), coordSys_(new CoordSysPage),
      advanced_(new AdvancedPage) {
    setObjectName("FilterPages");
    addTab(nameLocation_, tr("Name && Location"));
    addTab(date_, tr("Date Modified"));
    addTab(area_, tr("Geographic Area"));
    addTab(coordSys_, tr("Coordinate System"));
    addTab(advanced_, tr("Advanced"));
    connect(this, &QTabWidget::currentChanged, this, &CriteriaPages::pageChanged);
    area_->setPageActivator([this] {
        if (currentIndex() != GeographicArea)
            setCurrentIndex(GeographicArea);
    });
}

CriteriaForm CriteriaPages::form() const {
    CriteriaForm form;
    form.namedText = nameLocation_->namedText().toStdString();
    form.startFolder = nameLocation_->startFolder();
    form.includeSubfolders = nameLocation_->includeSubfolders();
    date_->fillForm(form);
    area_->fillForm(form);
    coordSys_->fillForm(form);
    advanced_->fillForm(form);
    return form;
}

void CriteriaPages::saveState(SavedSearchHeader& header) const {
    nameLocation_->saveState(header);
    date_->saveState(header);
    area_->saveState(header);
    coordSys_->saveState(header);
    advanced_->saveState(header);
}

void CriteriaPages::loadState(const SavedSearchHeader& header) {
    nameLocation_->loadState(header);
    date_->loadState(header);
    area_->loadState(header);
    coordSys_->loadState(header);
    advanced_->loadState(header);
}

void CriteriaPages::reset(int lookInIndex, DateUtil::CivilDate today) {
    nameLocation_->reset(lookInIndex);
    date_->setDefaults(today);
    area_->reset();
    coordSys_->reset();
    advanced_->reset();
}

void CriteriaPages::pageChanged(int index) {
    if (index == NameLocation)
        nameLocation_->focusNamed();
    else if (index == GeographicArea && !area_->selectionMap()->isHidden())
        emit geographicAreaShown();
}

} // namespace finder
