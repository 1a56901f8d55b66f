#include "area_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <tuple>

namespace finder {
namespace {

constexpr int IconSize = 32;

// The search area: a hatched square filling the picture.
QPixmap drawBackIcon() {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(40, 90, 170), 1));
    p.setBrush(QBrush(QColor(150, 190, 240), Qt::Dense5Pattern));
    p.drawRect(0, 0, IconSize - 1, IconSize - 1);
    return pixmap;
}

// A file's extent: a small solid square in the middle of the picture, so it
// lies inside, outside or across the area as the picture is moved.
QPixmap drawForeIcon() {
    QPixmap pixmap(IconSize, IconSize);
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
    label->setGeometry(352, 85, IconSize, IconSize);
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
    connect(geodetic_, &QCheckBox::clicked, this,
            [this] { ShowCornerEdits(!geodetic_->isChecked()); });
    geoCoords_->setObjectName("GeoCoords");
    geoCoords_->setGeometry(338, 146, 92, 13);

    backIcon_ = pictureLabel("BackIcon", drawBackIcon(), this);
    foreIcon_ = pictureLabel("ForeIcon", drawForeIcon(), this);
    ShowCornerEdits(false);
}

QGroupBox* AreaPage::cornerGroup(const char* name, const QString& title, int top, const char* xName,
                                 const char* yName, QLineEdit** x, QLineEdit** y) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(name);
    group->setGeometry(16, top, 300, 73);
    const QString prefix = QString::fromLatin1(name);
    int row = 20;
    for (auto [edit, editName, caption, side] :
         {std::tuple{x, xName, tr("X (Lon):"), tr("East / West")},
          std::tuple{y, yName, tr("Y (Lat):"), tr("North / South")}}) {
        (new QLabel(caption, group))->setGeometry(8, row + 2, 48, 17);
        *edit = new QLineEdit(group);
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
    form.latLonMode = geodetic_->isChecked();
    form.areaMode = areaMode();
}

void AreaPage::reset() {
    for (QLineEdit* corner : {northwestX_, northwestY_, southeastX_, southeastY_})
        corner->clear();
    inclusive_->setChecked(true);
    placeModePicture();
}

} // namespace finder
