#pragma once
// The "Coordinate System" page: group, system and datum a file must have.
// The three lists are filled from the coordinate-system database by the
// pickers' logic, which sees them through ComboPickerList.
#include "finder/coords/coordsys_pickers.h"
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QGroupBox;

namespace finder {

// A drop-down list as the pickers' logic sees it; changes made through it
// run no change handler.
class ComboPickerList : public PickerList {
public:
    explicit ComboPickerList(QComboBox* list) : list_(list) {}
    void clear() override;
    void addText(const std::string& text) override;
    void selectIndex(int index) override;
    int selectedIndex() const override;
    std::string text() const override;
    void setEnabled(bool enabled) override;
    int count() const override;

private:
    QComboBox* list_;
};

class CoordSysPage : public QWidget {
    Q_OBJECT
public:
    explicit CoordSysPage(QWidget* parent = nullptr);
    ~CoordSysPage() override;

    // Fills the group list from the database (the other two lists are then
    // disabled) and runs the change handlers when the user picks an item.
    void FillSystemGroups(const std::string& databaseFile);
    void CoordinateSystemGroupChange();
    void CoordinateSystemChange();

    void fillForm(CriteriaForm& form) const;
    // The page's controls in a saved search, and back.
    void saveState(SavedSearchHeader& header) const;
    void loadState(const SavedSearchHeader& header);
    // Item 0 of each list, without running the change handlers.
    void reset();

    const CoordSysPickers* pickers() const { return pickers_.get(); }

private:
    QGroupBox* group_;
    QComboBox* systemGroup_;
    QComboBox* system_;
    QComboBox* datum_;
    ComboPickerList groupList_;
    ComboPickerList systemList_;
    ComboPickerList datumList_;
    // Open only while a fill runs.
    std::optional<quill32::CoordSysDatabase> database_;
    std::unique_ptr<CoordSysPickers> pickers_;
};

} // namespace finder
