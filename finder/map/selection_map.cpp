// The selection map: the world drawn by the map-view library in the
// panel, and the panel's mouse turned into corners, zooms and the read-out.
#include "selection_map.h"

#include "../pages/area_page.h"
#include "finder/coords/corner_entry.h"

#include <quill32/coordsys_database.h>
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
    map_.reset();
    if (mapCreated_)
        for (const char* suffix : {".md3", ".md2", ".md1", ".zvm"})
            std::remove((tempBase_ + suffix).c_str());
}

QRect SelectionMap::mapRect() const {
    return panel_->rect().adjusted(kInset, kInset, -kInset, -kInset);
}

bool SelectionMap::CreateSelectionMap(const std::string& databaseFile,
                                      const std::string& worldTable, const std::string& tempBase) {
    // The map's coordinate system comes from the database: no map without it.
    if (map_ || !quill32::CoordSysDatabase::open(databaseFile))
        return false;
    LayerDescriptor world;
    strand32::buildLayerDescriptor(worldTable, world);
    const QRect r = mapRect();
    const MaporaRect rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    tempBase_ = tempBase;
    auto map = std::make_unique<strand32::Map>(tempBase + ".zvm", panel_, rect, kMapKeys);
    mapCreated_ = true;
    const std::optional<int> layer = map->addLayer(world, "Search Area");
    if (!layer)
        return false;
    MapProperties properties = map->properties();
    properties.showGraticule = 0;
    properties.showFrame = 0;
    map->setProperties(properties);
    initialCenter_ = map->view().center();
    initialScale_ = map->view().scale();
    map->setLayerVisible(*layer, true);
    map->redraw();
    map->setCursor(strand32::MapCursor::Cross);
    map_ = std::move(map);
    outline_->raise();
    redrawOutline();
    emit mapCreated();
    return true;
}

QPoint SelectionMap::clamped(QPoint pixel) const {
    return {std::clamp(pixel.x(), 2, std::max(2, panel_->width() - 3)),
            std::clamp(pixel.y(), 2, std::max(2, panel_->height() - 3))};
}

std::optional<MaporaPoint> SelectionMap::pointOf(QPoint pixel) const {
    const MaporaPoint in{static_cast<double>(pixel.x()), static_cast<double>(pixel.y())};
    MaporaPoint out{0, 0};
    if (!map_ || !map_->view().pixelToLonLat(in, out))
        return std::nullopt;
    return out;
}

std::optional<QPointF> SelectionMap::pixelOf(MaporaPoint point) const {
    if (!map_ || map_->view().resolution() <= 0.0)
        return std::nullopt;
    const MaporaExtent area = map_->view().area();
    if (area.east == area.west || area.north == area.south)
        return std::nullopt;
    const QRect r = mapRect();
    return QPointF(r.left() + (point.x - area.west) / (area.east - area.west) * r.width(),
                   r.top() + (area.north - point.y) / (area.north - area.south) * r.height());
}

void SelectionMap::SelectionMapMouseDown(QPoint pixel, Qt::MouseButton button) {
    if (!map_ || button != Qt::LeftButton)
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
    if (!map_)
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
    if (!map_)
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
    if (map_->view().resolution() <= 0.0)
        return;
    const MaporaExtent view = map_->view().area();
    const double viewWidth = std::abs(view.east - view.west);
    const double viewHeight = std::abs(view.north - view.south);
    if (viewWidth > kMinViewSide && viewHeight > kMinViewSide) {
        map_->setViewCenter(zoomCenter_);
        ZoomMapBy(std::max(width / viewWidth, height / viewHeight));
    }
}

SelectionMap::CornerTexts SelectionMap::cornerTexts() const {
    return {page_->cornerText(AreaPage::NorthwestXBox), page_->cornerText(AreaPage::NorthWestYBox),
            page_->cornerText(AreaPage::SoutheastXBox), page_->cornerText(AreaPage::SoutheastYBox)};
}

void SelectionMap::cancelDrag(const CornerTexts& corners) {
    for (int i = 0; i < 4; ++i)
        page_->setCornerText(static_cast<AreaPage::Corner>(i),
                             corners[static_cast<std::size_t>(i)]);
    dragActive_ = false;
    outline_->dragged.reset();
    redrawOutline();
}

void SelectionMap::zoomOnto(const MaporaExtent& area) {
    constexpr double kMargin = 1.15;   // the area's share of the view, inverted
    constexpr double kSmallest = 0.01; // degrees: a point still shows its place
    if (!map_ || map_->view().height() <= 0)
        return;
    const double width = std::max(std::abs(area.east - area.west), kSmallest);
    const double height = std::max(std::abs(area.north - area.south), kSmallest);
    const double aspect = static_cast<double>(map_->view().width()) / map_->view().height();
    const double scale = std::clamp(std::max(width, height * aspect) * kMargin,
                                    strand32::MapView::kMinScale, strand32::MapView::kMaxScale);
    zoomCenter_ = {(area.west + area.east) / 2, (area.north + area.south) / 2};
    if (!map_->setViewCenter(zoomCenter_) || !map_->setViewScale(scale))
        return;
    zoomScale_ = scale;
    map_->redraw();
    redrawOutline();
}

void SelectionMap::ZoomMapBy(double factor) {
    if (!map_ || !(factor > 0) || !std::isfinite(factor))
        return;
    const double scale = map_->view().scale() * factor;
    if (!map_->setViewScale(scale))
        return;
    zoomScale_ = scale;
    map_->redraw();
    redrawOutline();
}

void SelectionMap::ZoomInClick() {
    if (!map_)
        return;
    map_->setViewCenter(zoomPoint_);
    ZoomMapBy(0.5);
}

void SelectionMap::ZoomOutClick() {
    if (!map_)
        return;
    map_->setViewCenter(zoomPoint_);
    ZoomMapBy(1.5);
}

// The point under the cursor stays where it is.
void SelectionMap::wheelZoom(QPoint pixel, int steps) {
    const std::optional<MaporaPoint> under = pointOf(pixel);
    if (!under || steps == 0)
        return;
    const MaporaPoint center = map_->view().center();
    const double factor = std::pow(kWheelStep, steps);
    zoomCenter_ = {under->x + (center.x - under->x) * factor,
                   under->y + (center.y - under->y) * factor};
    map_->setViewCenter(zoomCenter_);
    ZoomMapBy(factor);
}

void SelectionMap::resetView() {
    if (!map_)
        return;
    map_->setViewCenter(initialCenter_);
    map_->setViewScale(initialScale_);
    map_->redraw();
    redrawOutline();
}

void SelectionMap::setZoom(MaporaPoint center, double scale) {
    zoomCenter_ = center;
    zoomScale_ = scale;
}

void SelectionMap::showZoomedView() {
    if (!map_ || zoomScale_ == 0)
        return;
    map_->setViewCenter(zoomCenter_);
    map_->setViewScale(zoomScale_);
    map_->redraw();
    redrawOutline();
}

void SelectionMap::followPanel() {
    outline_->setGeometry(panel_->rect());
    if (!map_)
        return;
    const QRect r = mapRect();
    map_->resize({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    redrawOutline();
}

// The area of the corner boxes, read as degrees as a search reads them.
void SelectionMap::redrawOutline() {
    outline_->area.reset();
    const CornerTexts texts = cornerTexts();
    const bool complete = std::none_of(std::begin(texts), std::end(texts),
                                       [](const QString& t) { return t.isEmpty(); });
    if (map_ && complete) {
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
        if (map_)
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
