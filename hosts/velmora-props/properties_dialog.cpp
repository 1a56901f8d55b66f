// The Qt Properties dialog: template positions in dialog units turned into
// pixels with the template's font, as the original platform does.
#include "properties_dialog.h"

#include "page_rows.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace velmorahost {

namespace {

using namespace platform;

// Pixels per dialog unit: a quarter of the font's average character width
// across, an eighth of its height down.
struct DialogUnits {
    double x, y;
    QRect rect(const DialogControl& c) const {
        return QRect(int(std::lround(c.x * x)), int(std::lround(c.y * y)),
                     int(std::lround(c.cx * x)), int(std::lround(c.cy * y)));
    }
};

DialogUnits unitsOf(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return {metrics.horizontalAdvance(alphabet) / alphabet.size() / 4.0, metrics.height() / 8.0};
}

// A label keeps its template width unless its text needs more.
void fitLabel(QLabel* label, const QString& text) {
    label->setText(text);
    const int wanted = label->fontMetrics().horizontalAdvance(text) + 2;
    if (wanted > label->width())
        label->resize(wanted, label->height());
    if (QWidget* page = label->parentWidget())
        page->setMinimumWidth(std::max(page->minimumWidth(), label->geometry().right() + 8));
}

void showCursor(HCURSOR cursor) {
    if (cursor == IDC_WAIT)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QGuiApplication::overrideCursor() != nullptr)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

PropertiesDialog::PropertiesDialog(const PropertySession& session, const QString& fileName,
                                   QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle(QFileInfo(fileName).fileName() + " Properties");
    setCursorHook(showCursor);
    tabs_ = new QTabWidget(this);
    for (const SheetPage& page : session.pages())
        tabs_->addTab(makePage(page), QString::fromStdString(page.title));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        notifyAll(PSN_APPLY);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        notifyAll(PSN_RESET);
        reject();
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        const auto& pages = session_.pages();
        if (activePage_ >= 0 && std::size_t(activePage_) < pages.size())
            notifyPage(pages[std::size_t(activePage_)].dialog, PSN_KILLACTIVE);
        if (index >= 0 && std::size_t(index) < pages.size())
            notifyPage(pages[std::size_t(index)].dialog, PSN_SETACTIVE);
        activePage_ = index;
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

PropertiesDialog::~PropertiesDialog() {
    setCursorHook(nullptr);
}

QWidget* PropertiesDialog::makePage(const SheetPage& page) {
    auto* widget = new QWidget;
    const DialogTemplate* dialogTemplate = DialogTemplateOf(page.dialog);
    if (dialogTemplate == nullptr)
        return widget;
    QFont font(dialogTemplate->fontName, dialogTemplate->fontPointSize);
    widget->setFont(font);
    const DialogUnits units = unitsOf(font);
    widget->setMinimumSize(int(std::lround(dialogTemplate->cx * units.x)),
                           int(std::lround(dialogTemplate->cy * units.y)));
    const std::vector<DialogItem> items = DialogItems(page.dialog);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DialogControl& c = items[i].control;
        const QString text = QString::fromStdString(items[i].text);
        if (c.kind == ControlKind::PushButton) {
            auto* button = new QPushButton(text, widget);
            button->setGeometry(units.rect(c));
            button->setObjectName(QStringLiteral("control%1").arg(c.id));
            const HWND dialog = page.dialog;
            const int id = c.id;
            connect(button, &QPushButton::clicked, this, [this, dialog, id] {
                pressButton(dialog, id);
                refresh();
            });
            controls_.push_back({page.dialog, i, nullptr});
        } else {
            auto* label = new QLabel(widget);
            label->setGeometry(units.rect(c));
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (c.id != IDC_STATIC)
                label->setObjectName(QStringLiteral("control%1").arg(c.id));
            fitLabel(label, text);
            controls_.push_back({page.dialog, i, label});
        }
    }
    return widget;
}

void PropertiesDialog::refresh() {
    for (const SheetPage& page : session_.pages()) {
        const std::vector<DialogItem> items = DialogItems(page.dialog);
        for (const Control& control : controls_) {
            if (control.dialog == page.dialog && control.label != nullptr &&
                control.index < items.size())
                fitLabel(control.label, QString::fromStdString(items[control.index].text));
        }
    }
}

void PropertiesDialog::notifyAll(UINT code) {
    for (const SheetPage& page : session_.pages())
        notifyPage(page.dialog, code);
}

} // namespace velmorahost
