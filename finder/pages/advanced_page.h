#pragma once
// The "Advanced" page: a file's size at least or at most so many KB.
#include "finder/criteria_form.h"

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
    // No direction chosen and an empty KB box.
    void reset();

private:
    QComboBox* sizeMode_;
    QLineEdit* kb_;
    UpDown* kbSpin_;
};

} // namespace finder
