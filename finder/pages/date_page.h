#pragma once
// The "Date Modified" page: all files, or files modified between two dates or
// during the previous months or days, with the rules that enable the boxes.
#include "DateUtil.h"
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace finder {

class UpDown;

class DatePage : public QWidget {
    Q_OBJECT
public:
    DatePage(int monthsLimit, int daysLimit, QWidget* parent = nullptr);

    // "All Files" checked; the date boxes hold today and three months back.
    void setDefaults(DateUtil::CivilDate today);
    void fillForm(CriteriaForm& form) const;
    // The page's controls in a saved search, and back.
    void saveState(SavedSearchHeader& header) const;
    void loadState(const SavedSearchHeader& header);
    // Chooses "between" as a click on it would.
    void chooseBetween();

private:
    void applyEnableRules();
    void secondGroupClicked();
    QLineEdit* countBox(const char* name, int limit);

    QRadioButton* allFiles_;
    QRadioButton* findModified_;
    QRadioButton* between_;
    QRadioButton* previousMonths_;
    QRadioButton* previousDays_;
    QLineEdit* dateStart_;
    QLineEdit* dateEnd_;
    QLineEdit* prevMonths_;
    QLineEdit* prevDays_;
    UpDown* monthsSpin_;
    UpDown* daysSpin_;
    int monthsLimit_, daysLimit_;
};

} // namespace finder
