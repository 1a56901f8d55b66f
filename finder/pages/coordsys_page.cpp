#include "coordsys_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

namespace finder {
namespace {

// A list not filled yet (no database) restricts nothing.
std::string pickedName(const QComboBox* list) {
    if (list->count() == 0)
        return std::string(AnyText);
    return list->currentText().toStdString();
}

} // namespace

CoordSysPage::CoordSysPage(QWidget* parent)
    : QWidget(parent), group_(new QGroupBox(tr("Coordinate System"), this)),
      systemGroup_(new QComboBox(group_)), system_(new QComboBox(group_)),
      datum_(new QComboBox(group_)) {
    group_->setObjectName("GroupBox1");
    group_->setGeometry(8, 4, 367, 140);
    systemGroup_->setObjectName("CoordinateSystemGroup");
    system_->setObjectName("CoordinateSystem");
    datum_->setObjectName("CoordinateDatum");
    int top = 26;
    for (auto [list, caption] :
         {std::pair{systemGroup_, tr("System Group:")}, std::pair{system_, tr("System:")},
          std::pair{datum_, tr("Datum:")}}) {
        auto* label = new QLabel(caption, group_);
        label->setGeometry(12, top + 3, 96, 20);
        label->setBuddy(list);
        list->setGeometry(110, top, 256, 24);
        list->setMaxVisibleItems(20);
        top += 36;
    }
    system_->setEnabled(false);
    datum_->setEnabled(false);
}

void CoordSysPage::fillForm(CriteriaForm& form) const {
    form.groupName = pickedName(systemGroup_);
    form.systemName = pickedName(system_);
    form.datumName = pickedName(datum_);
}

void CoordSysPage::reset() {
    for (QComboBox* list : {systemGroup_, system_, datum_}) {
        const QSignalBlocker quiet(list);
        if (list->count() > 0)
            list->setCurrentIndex(0);
    }
}

} // namespace finder
