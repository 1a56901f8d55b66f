#include "area_page.h"

#include "saved_state.h"

#include "corner_edit.h"
#include "finder/coords/corner_entry.h"

#include <platform/message_box.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <tuple>

namespace finder {
namespace {

constexpr int kIconSize = 32;

// The search area: a hatched square filling the picture.
QPixmap drawBackIcon() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(40, 90, 170), 1));
    p.setBrush(QBrush(QColor(150, 190, 240), Qt::Dense5Pattern));
    p.drawRect(0, 0, kIconSize - 1, kIconSize - 1);
    return pixmap;
}

// A file's extent: a small solid square in the middle of the picture, so it
// lies inside, outside or across the area as the picture is moved.
QPixmap drawForeIcon() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(120, 30, 20), 1));
    p.setBrush(QColor(230, 120, 60, 220));
    p.drawRect(9, 9, 14, 14);
    return pixmap;
}

QLabel* pictureLabel(const char* name, const QPixmap& pixmap, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(pixmap);
    label->setGeometry(352, 85, kIconSize, kIconSize);
    return label;
}

} // namespace

QPoint foreIconPosition(QPoint backIcon, AreaMode mode) {
    switch (mode) {
    case AreaMode::Inclusive:
        return backIcon;
    case AreaMode::Exclusive:
        return backIcon + QPoint(34, -16);
    case AreaMode::Intersection:
        break;
    }
    return backIcon + QPoint(12, -12);
}

AreaPage::AreaPage(QWidget* parent)
    : QWidget(parent), map_(new QFrame(this)), inclusive_(new QRadioButton(tr("Inclusive"), this)),
      exclusive_(new QRadioButton(tr("Exclusive"), this)),
      intersection_(new QRadioButton(tr("Intersection"), this)),
      geodetic_(new QCheckBox(tr("Lat / Lon"), this)), geoCoords_(new QLabel(this)) {
    northwest_ = cornerGroup("GroupBox2", tr("Northwest Corner"), 4, "NorthwestX", "NorthWestY",
                             &northwestX_, &northwestY_);
    southeast_ = cornerGroup("GroupBox3", tr("Southeast Corner"), 84, "SoutheastX", "SoutheastY",
                             &southeastX_, &southeastY_);
    map_->setObjectName("SelectionMap");
    map_->setFrameStyle(QFrame::Box | QFrame::Plain);
    map_->setGeometry(16, 4, 300, 152);
    map_->setAutoFillBackground(true);
    map_->setBackgroundRole(QPalette::Base);

    inclusive_->setObjectName("bInclusive");
    exclusive_->setObjectName("bExclusive");
    intersection_->setObjectName("bIntersection");
    auto* modes = new QButtonGroup(this);
    int top = 10;
    for (QRadioButton* b : {inclusive_, exclusive_, intersection_}) {
        modes->addButton(b);
        b->setGeometry(336, top, 120, 20);
        top += b == exclusive_ ? 24 : 22;
        connect(b, &QRadioButton::clicked, this, &AreaPage::placeModePicture);
    }
    inclusive_->setChecked(true);

    geodetic_->setObjectName("Geodetic");
    geodetic_->setChecked(true);
    geodetic_->setGeometry(336, 122, 120, 20);
    connect(geodetic_, &QCheckBox::clicked, this, &AreaPage::GeodeticClick);
    geoCoords_->setObjectName("GeoCoords");
    geoCoords_->setGeometry(338, 146, 92, 13);

    backIcon_ = pictureLabel("BackIcon", drawBackIcon(), this);
    foreIcon_ = pictureLabel("ForeIcon", drawForeIcon(), this);
    ShowCornerEdits(false);

    for (CornerEdit* corner : {northwestX_, northwestY_, southeastX_, southeastY_})
        connect(corner, &QLineEdit::textChanged, this, &AreaPage::cornersChanged);
    connect(northwestX_, &CornerEdit::left, this, &AreaPage::NorthwestXExit);
    connect(northwestY_, &CornerEdit::left, this, &AreaPage::NorthWestYExit);
    connect(southeastX_, &CornerEdit::left, this, &AreaPage::SoutheastXExit);
    connect(southeastY_, &CornerEdit::left, this, &AreaPage::SoutheastYExit);
}

QGroupBox* AreaPage::cornerGroup(const char* name, const QString& title, int top, const char* xName,
                                 const char* yName, CornerEdit** x, CornerEdit** y) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(name);
    group->setGeometry(16, top, 300, 73);
    const QString prefix = QString::fromLatin1(name);
    int row = 20;
    for (auto [edit, editName, caption, side] :
         {std::tuple{x, xName, tr("X (Lon):"), tr("East / West")},
          std::tuple{y, yName, tr("Y (Lat):"), tr("North / South")}}) {
        (new QLabel(caption, group))->setGeometry(8, row + 2, 48, 17);
        *edit = new CornerEdit(group);
        (*edit)->setObjectName(editName);
        (*edit)->setGeometry(56, row, 153, 21);
        auto* sideLabel = new QLabel(side, group);
        sideLabel->setObjectName(QString::fromLatin1(editName) + "Side");
        sideLabel->setGeometry(221, row + 2, sideLabel->sizeHint().width(), 17);
        row += 24;
    }
    return group;
}

void AreaPage::ShowCornerEdits(bool show) {
    map_->setVisible(!show);
    geoCoords_->setText(QString());
    northwest_->setVisible(show);
    southeast_->setVisible(show);
}

void AreaPage::showSelectionMap() {
    if (geodetic_->isChecked())
        return;
    geodetic_->setChecked(true);
    GeodeticClick();
}

void AreaPage::GeodeticClick() {
    ShowCornerEdits(!geodetic_->isChecked());
}

void AreaPage::NorthwestXExit() {
    checkCorner(northwestX_, true);
}

void AreaPage::NorthWestYExit() {
    checkCorner(northwestY_, false);
}

void AreaPage::SoutheastXExit() {
    checkCorner(southeastX_, true);
}

void AreaPage::SoutheastYExit() {
    checkCorner(southeastY_, false);
}

void AreaPage::checkCorner(CornerEdit* box, bool longitude) {
    if (reporting_)
        return;
    const std::string text = box->text().toStdString();
    const coords::CornerCheck check = coords::checkCornerText(text, longitude);
    if (check.ok)
        return;
    // The selection start counts bytes of the text; the box counts characters.
    const auto start = static_cast<int>(
        QString::fromStdString(text.substr(0, std::min(check.selectionStart, text.size()))).size());
    reporting_ = true;
    if (box->isVisible()) {
        reportCornerError(box, check.message, start);
        return;
    }
    // The box was left by leaving the page: report once the page control has
    // finished changing pages, then bring this page back.
    QTimer::singleShot(0, box, [this, box, message = check.message, start] {
        reportCornerError(box, message, start);
    });
}

void AreaPage::reportCornerError(CornerEdit* box, const std::string& message, int selectionStart) {
    if (activatePage_)
        activatePage_();
    box->setFocus(Qt::OtherFocusReason);
    box->setSelection(selectionStart, static_cast<int>(box->text().size()) - selectionStart);
    platform::messageBox(window(), message, std::string(coords::kGeographicAreaErrorTitle),
                         platform::MB_OK | platform::MB_ICONERROR);
    reporting_ = false;
}

QString AreaPage::cornerText(Corner corner) const {
    const CornerEdit* boxes[] = {northwestX_, northwestY_, southeastX_, southeastY_};
    return boxes[corner]->text();
}

void AreaPage::setCornerText(Corner corner, const QString& text) {
    CornerEdit* boxes[] = {northwestX_, northwestY_, southeastX_, southeastY_};
    boxes[corner]->setText(text);
}

void AreaPage::setReadout(const QString& text) {
    geoCoords_->setText(text);
}

AreaMode AreaPage::areaMode() const {
    if (exclusive_->isChecked())
        return AreaMode::Exclusive;
    if (intersection_->isChecked())
        return AreaMode::Intersection;
    return AreaMode::Inclusive;
}

void AreaPage::placeModePicture() {
    foreIcon_->move(foreIconPosition(backIcon_->pos(), areaMode()));
}

void AreaPage::fillForm(CriteriaForm& form) const {
    form.northwestX = northwestX_->text().toStdString();
    form.northwestY = northwestY_->text().toStdString();
    form.southeastX = southeastX_->text().toStdString();
    form.southeastY = southeastY_->text().toStdString();
    // The map shown means the corners are read as longitudes and latitudes.
    form.latLonMode = !map_->isHidden();
    form.areaMode = areaMode();
}

void AreaPage::saveState(SavedSearchHeader& header) const {
    header.inclusive = inclusive_->isChecked();
    header.exclusive = exclusive_->isChecked();
    header.intersection = intersection_->isChecked();
    header.northwestX = localBytes(northwestX_->text());
    header.northwestY = localBytes(northwestY_->text());
    header.southeastX = localBytes(southeastX_->text());
    header.southeastY = localBytes(southeastY_->text());
    header.geodetic = geodetic_->isChecked();
}

// The "Lat / Lon" switch comes back too, with the map or the corner boxes
// it shows.
void AreaPage::loadState(const SavedSearchHeader& header) {
    setCheckStates({{inclusive_, header.inclusive},
                    {exclusive_, header.exclusive},
                    {intersection_, header.intersection}});
    placeModePicture();
    northwestX_->setText(fromLocalBytes(header.northwestX));
    northwestY_->setText(fromLocalBytes(header.northwestY));
    southeastX_->setText(fromLocalBytes(header.southeastX));
    southeastY_->setText(fromLocalBytes(header.southeastY));
    geodetic_->setChecked(header.geodetic);
    GeodeticClick();
}

void AreaPage::reset() {
    for (CornerEdit* corner : {northwestX_, northwestY_, southeastX_, southeastY_})
        corner->clear();
    inclusive_->setChecked(true);
    placeModePicture();
}

} // namespace finder
