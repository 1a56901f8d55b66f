#pragma once
// The view of a map: which longitude/latitude lies at the centre of its
// drawing rectangle, and how many degrees of longitude the rectangle spans
// (the scale). Pixels are square in degrees.
#include "strand32/mapora_map.h"

namespace strand32 {

class MapView {
public:
    // Smallest and largest scale accepted, in degrees across the view.
    static constexpr double kMinScale = 1e-7;
    static constexpr double kMaxScale = 36000.0;

    explicit MapView(const MaporaRect& rect);

    const MaporaRect& rect() const { return rect_; }
    void setRect(const MaporaRect& rect) { rect_ = rect; }
    int width() const { return rect_.right - rect_.left; }
    int height() const { return rect_.bottom - rect_.top; }

    MaporaPoint center() const { return center_; }
    void setCenter(MaporaPoint center) { center_ = center; }
    double scale() const { return scale_; }
    // False (view unchanged) for a scale that is not a finite number within
    // kMinScale ... kMaxScale.
    bool setScale(double scale);

    // Degrees per pixel; 0 while the rectangle is empty.
    double resolution() const;
    // A pixel of the parent window (the rectangle's coordinates) and the
    // longitude/latitude under it; false while the rectangle is empty.
    bool pixelToLonLat(MaporaPoint pixel, MaporaPoint& lonLat) const;
    bool lonLatToPixel(MaporaPoint lonLat, MaporaPoint& pixel) const;
    MaporaExtent area() const;
    // Centres the view on `extent` and picks the scale that shows all of it.
    void fit(const MaporaExtent& extent);

private:
    MaporaRect rect_;
    MaporaPoint center_{0.0, 0.0};
    double scale_ = 360.0;
};

} // namespace strand32
