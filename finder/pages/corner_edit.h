#pragma once
// A corner box of the "Geographic Area" page. It tells when the user leaves
// it for another control of the window, after its own focus handling, so a
// handler may give the focus back and select text.
#include <QLineEdit>

namespace finder {

class CornerEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    // The focus went to another control; not sent when the window itself
    // loses the focus (a message box, another program) or a popup opens.
    void left();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace finder
