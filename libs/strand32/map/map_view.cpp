// Pixel <-> longitude/latitude arithmetic of a map view.
#include "strand32/map_view.h"

#include <algorithm>
#include <cmath>

namespace strand32 {

MapView::MapView(const MaporaRect& rect) : rect_(rect) {}

bool MapView::setScale(double scale) {
    if (!std::isfinite(scale) || scale < kMinScale || scale > kMaxScale)
        return false;
    scale_ = scale;
    return true;
}

double MapView::resolution() const {
    return width() > 0 && height() > 0 ? scale_ / width() : 0.0;
}

bool MapView::pixelToLonLat(MaporaPoint pixel, MaporaPoint& lonLat) const {
    const double res = resolution();
    if (res <= 0.0)
        return false;
    lonLat.x = center_.x + (pixel.x - rect_.left - width() / 2.0) * res;
    lonLat.y = center_.y - (pixel.y - rect_.top - height() / 2.0) * res;
    return true;
}

bool MapView::lonLatToPixel(MaporaPoint lonLat, MaporaPoint& pixel) const {
    const double res = resolution();
    if (res <= 0.0)
        return false;
    pixel.x = rect_.left + width() / 2.0 + (lonLat.x - center_.x) / res;
    pixel.y = rect_.top + height() / 2.0 - (lonLat.y - center_.y) / res;
    return true;
}

MaporaExtent MapView::area() const {
    const double res = resolution();
    const double halfW = width() / 2.0 * res;
    const double halfH = height() / 2.0 * res;
    return {center_.x - halfW, center_.y + halfH, center_.x + halfW, center_.y - halfH};
}

void MapView::fit(const MaporaExtent& extent) {
    center_ = {(extent.west + extent.east) / 2.0, (extent.north + extent.south) / 2.0};
    const double spanX = std::abs(extent.east - extent.west);
    const double spanY = std::abs(extent.north - extent.south);
    const double aspect = height() > 0 ? static_cast<double>(width()) / height() : 1.0;
    const double wanted = std::max(spanX, spanY * aspect);
    setScale(std::clamp(wanted, kMinScale, kMaxScale));
}

} // namespace strand32
