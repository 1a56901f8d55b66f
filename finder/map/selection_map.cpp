#include "selection_map.h"

#include "../pages/area_page.h"
#include "finder/coords/corner_entry.h"

#include <strand32/layer.h>

#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace finder {
namespace {

const CoordSysKeys kMapKeys{"LAT-LONG", "LAT-LONG", "WGS84", "METERS"};
constexpr int kInset = 2;             // the map lies 2 pixels inside its panel
constexpr double kMinViewSide = 1e-8; // smaller views are not zoomed onto
constexpr double kWheelStep = 0.8;    // scale factor of one wheel notch in

QString cornerText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    return QString::fromLatin1(text);
}

double plainNumber(const QString& text) {
    return coords::leadingNumber(text.toStdString()).value;
}

} // namespace

// Drawn over the map: the rectangle being dragged, or else the area the
// corner boxes hold. Never takes the mouse.
class AreaOutline : public QWidget {
public:
    explicit AreaOutline(QWidget* panel) : QWidget(panel) {
        setObjectName("AreaOutline");
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    std::optional<QRect> dragged;
    std::optional<QRectF> area;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (dragged) {
            // Dashes of black over white stay visible on land and on sea.
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(*dragged);
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.drawRect(*dragged);
        } else if (area) {
            p.setPen(QPen(QColor(200, 40, 30), 1));
            p.setBrush(QColor(200, 40, 30, 40));
            p.drawRect(*area);
        }
    }
};

SelectionMap::SelectionMap(AreaPage* page)
    : QObject(page), page_(page), panel_(page->selectionMap()), outline_(new AreaOutline(panel_)),
      zoomMenu_(new QMenu(panel_)) {
    panel_->setMouseTracking(true);
    panel_->installEventFilter(this);
    outline_->setGeometry(panel_->rect());
    zoomMenu_->setObjectName("MapZoom");
    QAction* zoomIn = zoomMenu_->addAction(tr("Zoom In"));
    zoomIn->setObjectName("ZoomIn");
    connect(zoomIn, &QAction::triggered, this, &SelectionMap::ZoomInClick);
    QAction* zoomOut = zoomMenu_->addAction(tr("Zoom Out"));
    zoomOut->setObjectName("ZoomOut");
    connect(zoomOut, &QAction::triggered, this, &SelectionMap::ZoomOutClick);
    connect(page_, &AreaPage::cornersChanged, this, &SelectionMap::redrawOutline);
}

SelectionMap::~SelectionMap() {
    if (map_ != 0)
        Mapora_MapClose(map_);
    if (mapCreated_)
        for (const char* suffix : {".md3", ".md2", ".md1", ".zvm"})
            std::remove((tempBase_ + suffix).c_str());
}

QRect SelectionMap::mapRect() const {
    return panel_->rect().adjusted(kInset, kInset, -kInset, -kInset);
}

bool SelectionMap::CreateSelectionMap(const std::string& databaseFile,
                                      const std::string& worldTable, const std::string& tempBase) {
    if (map_ != 0 || Mapora_Init(databaseFile.c_str()) != 0)
        return false;
    LayerDescriptor world;
    strand32::buildLayerDescriptor(worldTable, world);
    const QRect r = mapRect();
    const MaporaRect rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    tempBase_ = tempBase;
    const MaporaMap map =
        Mapora_MapCreate((tempBase + ".zvm").c_str(), panel_, &rect, 1, nullptr, &kMapKeys);
    if (map == 0)
        return false;
    map_ = map;
    mapCreated_ = true;
    const std::int32_t layer =
        Mapora_LayerConnect(map_, world.layerType, 0, world.fileName, world.companion[0],
                            world.companion[1], world.companion[2], "Search Area", 0, &kMapKeys);
    if (layer < 0) {
        Mapora_MapClose(map_);
        map_ = 0;
        return false;
    }
    MapProperties properties{};
    if (Mapora_MapGetProperties(map_, &properties) != 0) {
        properties.showGraticule = 0;
        properties.showFrame = 0;
        Mapora_MapSetProperties(map_, &properties);
    }
    Mapora_MapGetViewCenter(map_, &initialCenter_);
    Mapora_MapGetViewScale(map_, &initialScale_);
    Mapora_LayerSetVisible(map_, layer, 1);
    Mapora_MapRedraw(map_, 0);
    Mapora_MapSetCursor(map_, MAPORA_CURSOR_CROSS);
    outline_->raise();
    redrawOutline();
    return true;
}

QPoint SelectionMap::clamped(QPoint pixel) const {
    return {std::clamp(pixel.x(), 2, std::max(2, panel_->width() - 3)),
            std::clamp(pixel.y(), 2, std::max(2, panel_->height() - 3))};
}

std::optional<MaporaPoint> SelectionMap::pointOf(QPoint pixel) const {
    const MaporaPoint in{static_cast<double>(pixel.x()), static_cast<double>(pixel.y())};
    MaporaPoint out{0, 0};
    if (map_ == 0 || Mapora_MapConvertCoordinates(map_, &in, &out, MAPORA_PIXEL_TO_LONLAT) == 0)
        return std::nullopt;
    return out;
}

std::optional<QPointF> SelectionMap::pixelOf(MaporaPoint point) const {
    MaporaExtent area{};
    if (map_ == 0 || Mapora_MapGetViewArea(map_, &area) == 0 || area.east == area.west ||
        area.north == area.south)
        return std::nullopt;
    const QRect r = mapRect();
    return QPointF(r.left() + (point.x - area.west) / (area.east - area.west) * r.width(),
                   r.top() + (area.north - point.y) / (area.north - area.south) * r.height());
}

void SelectionMap::SelectionMapMouseDown(QPoint pixel, Qt::MouseButton button) {
    if (map_ == 0 || button != Qt::LeftButton)
        return;
    const QPoint at = clamped(pixel);
    const std::optional<MaporaPoint> point = pointOf(at);
    if (!point)
        return;
    page_->setCornerText(AreaPage::NorthwestXBox, cornerText(point->x));
    page_->setCornerText(AreaPage::SoutheastXBox, cornerText(point->x));
    page_->setCornerText(AreaPage::NorthWestYBox, cornerText(point->y));
    page_->setCornerText(AreaPage::SoutheastYBox, cornerText(point->y));
    dragAnchorPixel_ = dragCornerPixel_ = at;
    dragAnchor_ = *point;
    dragActive_ = true; // a drag in progress starts over from here
    outline_->dragged = QRect(at, at);
    outline_->update();
}

void SelectionMap::SelectionMapMouseMove(QPoint pixel) {
    if (map_ == 0)
        return;
    const QPoint at = clamped(pixel);
    if (const std::optional<MaporaPoint> point = pointOf(at))
        page_->setReadout(QString::asprintf("%.2f, %.2f", point->y, point->x));
    if (!dragActive_)
        return;
    dragCornerPixel_ = at;
    outline_->dragged = QRect(dragAnchorPixel_, dragCornerPixel_).normalized();
    outline_->update();
}

void SelectionMap::SelectionMapMouseUp(QPoint pixel, Qt::MouseButton button) {
    if (map_ == 0)
        return;
    const std::optional<MaporaPoint> release = pointOf(pixel); // not clamped
    if (!release)
        return;
    if (button == Qt::RightButton) {
        zoomPoint_ = zoomCenter_ = *release;
        zoomMenu_->popup(panel_->mapToGlobal(pixel));
        return;
    }
    if (!dragActive_)
        return;
    // The northwest corner gets the smaller x and the larger y.
    const double x = plainNumber(page_->cornerText(AreaPage::NorthwestXBox));
    const double y = plainNumber(page_->cornerText(AreaPage::NorthWestYBox));
    if (x > release->x) {
        page_->setCornerText(AreaPage::NorthwestXBox, cornerText(release->x));
        page_->setCornerText(AreaPage::SoutheastXBox, cornerText(x));
    } else {
        page_->setCornerText(AreaPage::SoutheastXBox, cornerText(release->x));
    }
    if (y < release->y) {
        page_->setCornerText(AreaPage::NorthWestYBox, cornerText(release->y));
        page_->setCornerText(AreaPage::SoutheastYBox, cornerText(y));
    } else {
        page_->setCornerText(AreaPage::SoutheastYBox, cornerText(release->y));
    }
    dragActive_ = false;
    outline_->dragged.reset();
    redrawOutline();
    // A drag of no width or height sets the corners but zooms nowhere: a
    // scale of 0 would leave no view to return from.
    const double width = std::abs(dragAnchor_.x - release->x);
    const double height = std::abs(dragAnchor_.y - release->y);
    if (width == 0 || height == 0)
        return;
    zoomCenter_ = {(dragAnchor_.x + release->x) / 2, (dragAnchor_.y + release->y) / 2};
    MaporaExtent view{};
    if (Mapora_MapGetViewArea(map_, &view) == 0)
        return;
    const double viewWidth = std::abs(view.east - view.west);
    const double viewHeight = std::abs(view.north - view.south);
    if (viewWidth > kMinViewSide && viewHeight > kMinViewSide) {
        Mapora_MapSetViewCenter(map_, &zoomCenter_);
        ZoomMapBy(std::max(width / viewWidth, height / viewHeight));
    }
}

void SelectionMap::ZoomMapBy(double factor) {
    double scale = 0;
    if (map_ == 0 || !(factor > 0) || !std::isfinite(factor) ||
        Mapora_MapGetViewScale(map_, &scale) == 0)
        return;
    scale *= factor;
    if (Mapora_MapSetViewScale(map_, scale) == 0)
        return;
    zoomScale_ = scale;
    Mapora_MapRedraw(map_, 0);
    redrawOutline();
}

void SelectionMap::ZoomInClick() {
    if (map_ == 0)
        return;
    Mapora_MapSetViewCenter(map_, &zoomPoint_);
    ZoomMapBy(0.5);
}

void SelectionMap::ZoomOutClick() {
    if (map_ == 0)
        return;
    Mapora_MapSetViewCenter(map_, &zoomPoint_);
    ZoomMapBy(1.5);
}

// The point under the cursor stays where it is.
void SelectionMap::wheelZoom(QPoint pixel, int steps) {
    const std::optional<MaporaPoint> under = pointOf(pixel);
    MaporaPoint center{};
    if (!under || steps == 0 || Mapora_MapGetViewCenter(map_, &center) == 0)
        return;
    const double factor = std::pow(kWheelStep, steps);
    zoomCenter_ = {under->x + (center.x - under->x) * factor,
                   under->y + (center.y - under->y) * factor};
    Mapora_MapSetViewCenter(map_, &zoomCenter_);
    ZoomMapBy(factor);
}

void SelectionMap::resetView() {
    if (map_ == 0)
        return;
    Mapora_MapSetViewCenter(map_, &initialCenter_);
    Mapora_MapSetViewScale(map_, initialScale_);
    Mapora_MapRedraw(map_, 0);
    redrawOutline();
}

void SelectionMap::setZoom(MaporaPoint center, double scale) {
    zoomCenter_ = center;
    zoomScale_ = scale;
}

void SelectionMap::showZoomedView() {
    if (map_ == 0 || zoomScale_ == 0)
        return;
    Mapora_MapSetViewCenter(map_, &zoomCenter_);
    Mapora_MapSetViewScale(map_, zoomScale_);
    Mapora_MapRedraw(map_, 0);
    redrawOutline();
}

void SelectionMap::followPanel() {
    outline_->setGeometry(panel_->rect());
    if (map_ == 0)
        return;
    const QRect r = mapRect();
    const MaporaRect rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    Mapora_MapSize(map_, &rect);
    redrawOutline();
}

// The area of the corner boxes, read as degrees as a search reads them.
void SelectionMap::redrawOutline() {
    outline_->area.reset();
    const QString texts[] = {
        page_->cornerText(AreaPage::NorthwestXBox), page_->cornerText(AreaPage::NorthWestYBox),
        page_->cornerText(AreaPage::SoutheastXBox), page_->cornerText(AreaPage::SoutheastYBox)};
    const bool complete = std::none_of(std::begin(texts), std::end(texts),
                                       [](const QString& t) { return t.isEmpty(); });
    if (map_ != 0 && complete) {
        const std::string s[] = {texts[0].toStdString(), texts[1].toStdString(),
                                 texts[2].toStdString(), texts[3].toStdString()};
        const coords::CornerValues v =
            coords::cornerValuesForSearch({s[0], s[1], s[2], s[3]}, true);
        const auto northwest = pixelOf({v.northwestX, v.northwestY});
        const auto southeast = pixelOf({v.southeastX, v.southeastY});
        if (northwest && southeast)
            outline_->area = QRectF(*northwest, *southeast).normalized();
    }
    outline_->update();
}

bool SelectionMap::eventFilter(QObject* watched, QEvent* event) {
    if (watched != panel_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        SelectionMapMouseDown(mouse->position().toPoint(), mouse->button());
        return true;
    }
    case QEvent::MouseMove:
        SelectionMapMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        SelectionMapMouseUp(mouse->position().toPoint(), mouse->button());
        return true;
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (map_ != 0)
            wheelZoom(wheel->position().toPoint(), wheel->angleDelta().y() / 120);
        return true;
    }
    case QEvent::Resize:
        followPanel();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace finder
