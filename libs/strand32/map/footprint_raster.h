#pragma once
// Footprints put on a grid of pixels as marks (filled, outlined, selected,
// gap), then painted over an image in one pass. Thousands of small shapes
// cost a few pixels each this way, where a QPainter call per shape would
// cost more than the frame; overlapping fills are filled once.
#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <cstdint>
#include <vector>

namespace strand32 {

class FootprintRaster {
public:
    enum Mark : std::uint8_t {
        Fill = 1,
        Outline = 2,
        SelectedFill = 4,
        SelectedOutline = 8,
        Gap = 16,
        GapOutline = 32,
    };

    // An empty grid of `width` x `height` pixels; reset() sizes it anew,
    // with no marks, keeping the memory it has.
    FootprintRaster(int width = 0, int height = 0);
    void reset(int width, int height);

    // Pixels whose centre lies inside the rings (even-odd rule).
    void fill(const std::vector<QPolygonF>& rings, std::uint8_t mark);
    // Pixels along the closed ring.
    void outline(const QPolygonF& ring, std::uint8_t mark);
    // A square of `size` pixels round `centre`.
    void block(QPointF centre, int size, std::uint8_t mark);
    // Paints the marks over `image`, whose pixels match the grid's.
    void paint(QImage& image) const;

private:
    void fillRectangle(const QRectF& rect, std::uint8_t mark);
    void line(QPointF a, QPointF b, std::uint8_t mark);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> marks_;
    std::vector<double> crossings_; // reused by fill
};

} // namespace strand32
