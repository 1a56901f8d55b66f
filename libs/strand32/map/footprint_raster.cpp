// Scanline fill (pixel centres, even-odd), lines clipped to the grid and
// stepped pixel by pixel, and the one pass that paints the marks: outlines
// over fills, the selected over the others, gaps hatched on top.
#include "footprint_raster.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace strand32 {
namespace {

const QRgb kOutline = qRgb(176, 72, 24);
const QRgb kFill = qRgb(232, 128, 48);
const QRgb kSelectedOutline = qRgb(16, 72, 200);
const QRgb kSelectedFill = qRgb(48, 112, 232);
const QRgb kGapHatch = qRgb(200, 32, 32);
constexpr int kFillAlpha = 56;          // of 255
constexpr int kSelectedFillAlpha = 104; // of 255
constexpr int kHatchSpacing = 6;        // pixels between the hatch's lines

QRgb blend(QRgb under, QRgb over, int alpha) {
    const auto mix = [alpha](int a, int b) { return (b * alpha + a * (255 - alpha) + 127) / 255; };
    return qRgb(mix(qRed(under), qRed(over)), mix(qGreen(under), qGreen(over)),
                mix(qBlue(under), qBlue(over)));
}

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of
// it lies inside.
bool clip(QPointF& a, QPointF& b, double width, double height) {
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x(), width - a.x(), a.y(), height - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    b = a + QPointF(dx, dy) * t1;
    a = a + QPointF(dx, dy) * t0;
    return true;
}

} // namespace

FootprintRaster::FootprintRaster(int width, int height) {
    reset(width, height);
}

void FootprintRaster::reset(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    marks_.assign(static_cast<std::size_t>(width_) * height_, 0);
}

// The rectangle of a ring that is one with edges along the axes (most
// footprints are, on a map in longitude/latitude).
static std::optional<QRectF> axisRectangle(const std::vector<QPolygonF>& rings) {
    if (rings.size() != 1 || rings.front().size() != 5 || !rings.front().isClosed())
        return std::nullopt;
    const QPolygonF& r = rings.front();
    for (int i = 1; i < 5; ++i)
        if (r[i].x() != r[i - 1].x() && r[i].y() != r[i - 1].y())
            return std::nullopt;
    return QRectF(r[0], r[2]).normalized();
}

void FootprintRaster::fillRectangle(const QRectF& rect, std::uint8_t mark) {
    // Pixels whose centre lies inside: centre c with low <= c < high.
    const auto span = [](double low, double high, int size, int& first, int& last) {
        first = static_cast<int>(std::clamp(std::ceil(low - 0.5), 0.0, static_cast<double>(size)));
        last = static_cast<int>(std::clamp(std::ceil(high - 0.5), 0.0, static_cast<double>(size)));
    };
    int left, right, top, bottom;
    span(rect.left(), rect.right(), width_, left, right);
    span(rect.top(), rect.bottom(), height_, top, bottom);
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* row = marks_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = left; x < right; ++x)
            row[x] |= mark;
    }
}

void FootprintRaster::fill(const std::vector<QPolygonF>& rings, std::uint8_t mark) {
    if (const std::optional<QRectF> rect = axisRectangle(rings)) {
        fillRectangle(*rect, mark);
        return;
    }
    double top = INFINITY, bottom = -INFINITY;
    for (const QPolygonF& ring : rings)
        for (const QPointF& p : ring) {
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
    if (!(top <= bottom) || bottom < 0 || top >= height_)
        return;
    const int first = static_cast<int>(std::max(0.0, std::floor(top)));
    const int last = static_cast<int>(std::min<double>(height_ - 1, std::ceil(bottom)));
    for (int y = first; y <= last; ++y) {
        const double centre = y + 0.5;
        crossings_.clear();
        for (const QPolygonF& ring : rings)
            for (int i = 0, j = static_cast<int>(ring.size()) - 1; i < ring.size(); j = i++) {
                const QPointF& a = ring[i];
                const QPointF& b = ring[j];
                if ((a.y() > centre) != (b.y() > centre))
                    crossings_.push_back(a.x() +
                                         (centre - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
            }
        std::sort(crossings_.begin(), crossings_.end());
        std::uint8_t* row = marks_.data() + static_cast<std::size_t>(y) * width_;
        for (std::size_t k = 0; k + 1 < crossings_.size(); k += 2) {
            const double from = std::max(0.0, std::ceil(crossings_[k] - 0.5));
            const double to = std::min<double>(width_ - 1, std::floor(crossings_[k + 1] - 0.5));
            if (from > to)
                continue;
            for (int x = static_cast<int>(from); x <= static_cast<int>(to); ++x)
                row[x] |= mark;
        }
    }
}

void FootprintRaster::outline(const QPolygonF& ring, std::uint8_t mark) {
    for (int i = 1; i < ring.size(); ++i)
        line(ring[i - 1], ring[i], mark);
    if (!ring.isEmpty() && !ring.isClosed())
        line(ring.back(), ring.front(), mark);
}

void FootprintRaster::line(QPointF a, QPointF b, std::uint8_t mark) {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y()) || !clip(a, b, width_, height_))
        return;
    // One step a pixel along the longer axis; after clipping, only the far
    // edges of the grid (width, height) need pulling in.
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const int steps = static_cast<int>(std::ceil(std::max(std::abs(dx), std::abs(dy))));
    const double stepX = steps > 0 ? dx / steps : 0, stepY = steps > 0 ? dy / steps : 0;
    double x = a.x(), y = a.y();
    for (int i = 0; i <= steps; ++i, x += stepX, y += stepY) {
        const int column = std::min(static_cast<int>(x), width_ - 1);
        const int row = std::min(static_cast<int>(y), height_ - 1);
        if (column >= 0 && row >= 0)
            marks_[static_cast<std::size_t>(row) * width_ + column] |= mark;
    }
}

void FootprintRaster::block(QPointF centre, int size, std::uint8_t mark) {
    const int left = static_cast<int>(std::floor(centre.x() - size / 2.0));
    const int top = static_cast<int>(std::floor(centre.y() - size / 2.0));
    for (int y = std::max(0, top); y < std::min(height_, top + size); ++y)
        for (int x = std::max(0, left); x < std::min(width_, left + size); ++x)
            marks_[static_cast<std::size_t>(y) * width_ + x] |= mark;
}

void FootprintRaster::paint(QImage& image) const {
    if (image.format() != QImage::Format_ARGB32_Premultiplied || image.width() != width_ ||
        image.height() != height_)
        return;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row = marks_.data() + static_cast<std::size_t>(y) * width_;
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const std::uint8_t m = row[x];
            if (m == 0)
                continue;
            QRgb& px = pixels[x];
            if (m & SelectedOutline)
                px = kSelectedOutline;
            else if (m & Outline)
                px = kOutline;
            else if (m & SelectedFill)
                px = blend(px, kSelectedFill, kSelectedFillAlpha);
            else if (m & Fill)
                px = blend(px, kFill, kFillAlpha);
            if (((m & Gap) && (x + y) % kHatchSpacing == 0) ||
                ((m & GapOutline) && (x + y) % 2 == 0))
                px = kGapHatch;
        }
    }
}

} // namespace strand32
