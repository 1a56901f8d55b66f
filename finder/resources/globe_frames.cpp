#include "globe_frames.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <numbers>

namespace finder {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kRadius = 14.5;
constexpr double kCentre = kGlobeFrameSize / 2.0;

double rad(double degrees) {
    return degrees * kPi / 180.0;
}

// Orthographic view of the globe from the equator; `rotation` turns it east.
// Points on the far side are pressed onto the rim so land shapes end there.
QPointF project(double lonDeg, double latDeg, double rotationDeg, bool* front = nullptr) {
    const double lon = rad(lonDeg + rotationDeg);
    const double lat = rad(latDeg);
    const bool visible = std::cos(lon) >= 0.0;
    if (front)
        *front = visible;
    double x = kRadius * std::cos(lat) * std::sin(lon);
    if (!visible)
        x = (x < 0 ? -1.0 : 1.0) * kRadius * std::cos(lat);
    return {kCentre + x, kCentre - kRadius * std::sin(lat)};
}

struct Blob {
    double lon, lat, halfLon, halfLat;
};

// Rough land masses as ellipses in longitude and latitude.
constexpr std::array<Blob, 7> Land = {{
    {-100, 45, 30, 18}, // North America
    {-60, -15, 16, 25}, // South America
    {20, 5, 20, 30},    // Africa
    {15, 52, 18, 10},   // Europe
    {90, 50, 45, 18},   // Asia
    {135, -25, 17, 10}, // Australia
    {80, 20, 8, 9},     // India
}};

void drawLand(QPainter& p, double rotation) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(72, 150, 72));
    for (const Blob& b : Land) {
        QPainterPath path;
        bool anyFront = false;
        for (int k = 0; k <= 36; ++k) {
            const double t = 2 * kPi * k / 36.0;
            bool front = false;
            const QPointF pt = project(b.lon + b.halfLon * std::cos(t),
                                       b.lat + b.halfLat * std::sin(t), rotation, &front);
            anyFront = anyFront || front;
            if (k == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        if (anyFront)
            p.drawPath(path);
    }
}

void drawGraticule(QPainter& p, double rotation) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.6));
    for (int lon = 0; lon < 360; lon += 30) {
        QPainterPath path;
        bool started = false;
        for (int lat = -90; lat <= 90; lat += 10) {
            bool front = false;
            const QPointF pt = project(lon, lat, rotation, &front);
            if (!front) {
                started = false;
                continue;
            }
            if (started)
                path.lineTo(pt);
            else
                path.moveTo(pt);
            started = true;
        }
        p.drawPath(path);
    }
    for (int lat = -60; lat <= 60; lat += 30) {
        const double y = kCentre - kRadius * std::sin(rad(lat));
        const double half = kRadius * std::cos(rad(lat));
        p.drawLine(QPointF(kCentre - half, y), QPointF(kCentre + half, y));
    }
}

} // namespace

QPixmap drawGlobeFrame(int index) {
    QPixmap pixmap(kGlobeFrameSize, kGlobeFrameSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paintGlobeFrame(p, index);
    return pixmap;
}

void paintGlobeFrame(QPainter& p, int index) {
    const double rotation = 360.0 * (index % kGlobeFrameCount) / kGlobeFrameCount;
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(kCentre - kRadius, kCentre - kRadius, 2 * kRadius, 2 * kRadius);
    QRadialGradient ocean(kCentre - 4, kCentre - 5, kRadius * 1.4);
    ocean.setColorAt(0.0, QColor(120, 180, 240));
    ocean.setColorAt(1.0, QColor(20, 60, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(ocean);
    p.drawEllipse(disc);

    QPainterPath clip;
    clip.addEllipse(disc);
    p.setClipPath(clip);
    drawLand(p, rotation);
    drawGraticule(p, rotation);
    p.setClipping(false);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(10, 30, 80), 1.0));
    p.drawEllipse(disc);
}

std::vector<QPixmap> drawGlobeFrames() {
    std::vector<QPixmap> frames;
    frames.reserve(kGlobeFrameCount);
    for (int i = 0; i < kGlobeFrameCount; ++i)
        frames.push_back(drawGlobeFrame(i));
    return frames;
}

} // namespace finder
