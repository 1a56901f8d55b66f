#pragma once
// The server's pages in a Qt Properties dialog: one tab per page, its
// controls placed as its template says, buttons sending their clicks to
// the page, the page's wait cursor shown as Qt's.
#include "property_session.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace velmorahost {

class PropertiesDialog : public QDialog {
public:
    // `session` must have pages and outlive the dialog.
    PropertiesDialog(const PropertySession& session, const QString& fileName,
                     QWidget* parent = nullptr);
    ~PropertiesDialog() override;

    QTabWidget* tabs() const { return tabs_; }

private:
    struct Control {
        platform::HWND dialog;
        std::size_t index; // in the dialog's items
        QLabel* label;     // null for a button
    };

    QWidget* makePage(const SheetPage& page);
    void refresh();
    void notifyAll(platform::UINT code);

    const PropertySession& session_;
    QTabWidget* tabs_ = nullptr;
    std::vector<Control> controls_;
    int activePage_ = 0;
};

} // namespace velmorahost
