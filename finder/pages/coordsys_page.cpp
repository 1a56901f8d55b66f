#include "coordsys_page.h"

#include "saved_state.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

namespace finder {
namespace {

// The picked name; "( Any )" (item 0), or a list not filled (no
// database), restricts nothing.
std::optional<std::string> pickedName(const QComboBox* list) {
    if (list->count() == 0 || list->currentIndex() == 0)
        return std::nullopt;
    return list->currentText().toStdString();
}

} // namespace

void ComboPickerList::clear() {
    const QSignalBlocker quiet(list_);
    list_->clear();
}

void ComboPickerList::addText(const std::string& text) {
    const QSignalBlocker quiet(list_);
    list_->addItem(QString::fromStdString(text));
}

void ComboPickerList::selectIndex(int index) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentIndex(index >= 0 && index < list_->count() ? index : -1);
}

int ComboPickerList::selectedIndex() const {
    return list_->currentIndex();
}

std::string ComboPickerList::text() const {
    return list_->currentIndex() < 0 ? std::string() : list_->currentText().toStdString();
}

void ComboPickerList::setEnabled(bool enabled) {
    list_->setEnabled(enabled);
}

int ComboPickerList::count() const {
    return list_->count();
}

CoordSysPage::CoordSysPage(QWidget* parent)
    : QWidget(parent), group_(new QGroupBox(tr("Coordinate System"), this)),
      systemGroup_(new QComboBox(group_)), system_(new QComboBox(group_)),
      datum_(new QComboBox(group_)), groupList_(systemGroup_), systemList_(system_),
      datumList_(datum_) {
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
    // "activated" comes from the user only, also when the item chosen is the
    // one already selected: choosing a system again reloads its datums.
    connect(systemGroup_, &QComboBox::activated, this, &CoordSysPage::CoordinateSystemGroupChange);
    connect(system_, &QComboBox::activated, this, &CoordSysPage::CoordinateSystemChange);
}

CoordSysPage::~CoordSysPage() = default;

void CoordSysPage::FillSystemGroups(const std::string& databaseFile) {
    pickers_ = std::make_unique<CoordSysPickers>(groupList_, systemList_, datumList_, databaseFile,
                                                 database_);
    pickers_->FillSystemGroups();
    system_->setEnabled(false);
    datum_->setEnabled(false);
}

void CoordSysPage::CoordinateSystemGroupChange() {
    if (pickers_)
        pickers_->CoordinateSystemGroupChange();
}

void CoordSysPage::CoordinateSystemChange() {
    if (pickers_)
        pickers_->CoordinateSystemChange();
}

void CoordSysPage::fillForm(CriteriaForm& form) const {
    form.groupName = pickedName(systemGroup_);
    form.systemName = pickedName(system_);
    form.datumName = pickedName(datum_);
}

void CoordSysPage::saveState(SavedSearchHeader& header) const {
    header.systemGroupText = localBytes(systemGroup_->currentText());
    header.systemText = localBytes(system_->currentText());
    header.datumText = localBytes(datum_->currentText());
}

// Each list's item is chosen as the user would choose it, so the system and
// datum lists are filled for the group and system first.
void CoordSysPage::loadState(const SavedSearchHeader& header) {
    const auto choose = [](QComboBox* list, const std::string& text) {
        const int index = list->findText(fromLocalBytes(text), Qt::MatchExactly);
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(index);
        return index >= 0;
    };
    if (choose(systemGroup_, header.systemGroupText))
        CoordinateSystemGroupChange();
    if (choose(system_, header.systemText))
        CoordinateSystemChange();
    choose(datum_, header.datumText);
}

void CoordSysPage::reset() {
    for (QComboBox* list : {systemGroup_, system_, datum_}) {
        const QSignalBlocker quiet(list);
        if (list->count() > 0)
            list->setCurrentIndex(0);
    }
}

} // namespace finder
