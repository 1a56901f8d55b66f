#pragma once
// The "Advanced" page: a file's size at least or at most so many KB.
#include "finder/criteria_form.h"
#include "finder/saved_search.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace finder {

class UpDown;

class AdvancedPage : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedPage(QWidget* parent = nullptr);

    void fillForm(CriteriaForm& form) const;
    // The page's controls in a saved search, and back.
    void saveState(SavedSearchHeader& header) const;
    void loadState(const SavedSearchHeader& header);
    // No direction chosen and an empty KB box.
    void reset();

private:
    QComboBox* sizeMode_;
    QLineEdit* kb_;
    UpDown* kbSpin_;
};

} // namespace finder
