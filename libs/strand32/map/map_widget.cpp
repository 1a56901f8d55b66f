// Drawing a map: background, raster images, filled polygons, lines, points,
// the footprints, then the graticule and frame when its properties ask for
// them.
#include "map_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTransform>
#include <cmath>

#include "map_content.h"

namespace strand32 {
namespace {

QColor colorOf(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb | 0xff000000u));
}

void drawGraticule(QPainter& painter, const MapView& view, const QTransform& toPixels) {
    constexpr double kStep = 30.0;
    const MaporaExtent area = view.area();
    QPainterPath path;
    for (double lon = std::ceil(area.west / kStep) * kStep; lon <= area.east; lon += kStep) {
        path.moveTo(lon, area.south);
        path.lineTo(lon, area.north);
    }
    for (double lat = std::ceil(area.south / kStep) * kStep; lat <= area.north; lat += kStep) {
        path.moveTo(area.west, lat);
        path.lineTo(area.east, lat);
    }
    painter.setPen(QPen(QColor(160, 160, 200), 0, Qt::DotLine));
    painter.drawPath(toPixels.map(path));
}

} // namespace

MapWidget::MapWidget(const MapContent& map, QWidget* parent) : QWidget(parent), map_(map) {
    // The parent keeps the mouse: it selects areas on the map.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapWidget::invalidate() {
    layers_ = QImage();
    picture_ = QImage();
    update();
}

void MapWidget::invalidateFootprints() {
    picture_ = QImage();
    update();
}

void MapWidget::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (layers_.size() != pixels || layers_.devicePixelRatio() != ratio) {
        layers_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        layers_.setDevicePixelRatio(ratio);
        renderLayers();
        picture_ = QImage();
    }
    if (picture_.isNull())
        renderPicture();
    QPainter painter(this);
    painter.drawImage(
        event->rect(), picture_,
        QRectF(event->rect().topLeft() * ratio, QSizeF(event->rect().size()) * ratio));
}

// Longitude/latitude to widget pixels.
QTransform MapWidget::toPixels() const {
    const MapView& view = map_.view;
    const double res = view.resolution();
    const MaporaPoint c = view.center();
    return QTransform(1.0 / res, 0.0, 0.0, -1.0 / res, width() / 2.0 - c.x / res,
                      height() / 2.0 + c.y / res);
}

void MapWidget::renderLayers() {
    const MapProperties& props = map_.properties;
    QPainter painter(&layers_);
    painter.fillRect(rect(), colorOf(props.backgroundRgb));
    if (map_.view.resolution() <= 0.0)
        return;
    const QTransform toPixels = this->toPixels();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const MapLayer& layer : map_.layers) {
        if (!layer.visible)
            continue;
        if (!layer.image.isNull()) {
            const QRectF target = toPixels.mapRect(layer.imageArea);
            painter.drawImage(target, layer.image);
        }
        // The painter transforms the layer's own paths while it draws them:
        // no copy of the geometry is made per repaint. Pens of width 0 stay
        // one pixel wide whatever the scale.
        painter.setWorldTransform(toPixels);
        if (!layer.polygons.isEmpty()) {
            painter.setPen(QPen(colorOf(props.outlineRgb), 0));
            painter.setBrush(colorOf(props.landRgb));
            painter.drawPath(layer.polygons);
        }
        if (!layer.lines.isEmpty()) {
            painter.setPen(QPen(colorOf(props.outlineRgb), 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(layer.lines);
        }
        painter.resetTransform();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colorOf(props.pointRgb));
        for (const QPointF& p : layer.points)
            painter.drawEllipse(toPixels.map(p), 2.0, 2.0);
    }
}

// The layers, the footprints drawn into the picture's own pixels, then the
// graticule and the frame.
void MapWidget::renderPicture() {
    picture_ = layers_.copy();
    picture_.setDevicePixelRatio(layers_.devicePixelRatio());
    const MapView& view = map_.view;
    if (view.resolution() <= 0.0)
        return;
    const QTransform toPixels = this->toPixels();
    if (!map_.footprints.empty()) {
        const MaporaExtent area = view.area();
        const qreal ratio = picture_.devicePixelRatio();
        map_.footprints.draw(
            picture_, toPixels * QTransform::fromScale(ratio, ratio),
            QRectF(QPointF(area.west, area.south), QPointF(area.east, area.north)));
    }
    const MapProperties& props = map_.properties;
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing);
    if (props.showGraticule)
        drawGraticule(painter, view, toPixels);
    if (props.showFrame) {
        painter.setPen(QPen(colorOf(props.outlineRgb), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace strand32
