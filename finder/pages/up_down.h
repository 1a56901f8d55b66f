#pragma once
// Spin buttons attached to an edit box: each click adds or subtracts the step
// to the box's number and writes it back, kept within the range.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace finder {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent);

    void stepBy(int steps);
    QLineEdit* buddy() const { return buddy_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_, maximum_, step_;
};

} // namespace finder
