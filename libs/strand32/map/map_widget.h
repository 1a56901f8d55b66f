#pragma once
// The child widget a map draws into. The drawing is kept as a picture until
// the map is redrawn or resized, so a repaint (an outline drawn over the
// map, a window uncovered) only copies it; the layers under the footprints
// are kept as a picture of their own, so a change of the footprints alone
// (a selection, files added as a search finds them) draws only those.
#include <QImage>
#include <QWidget>

namespace strand32 {

struct MapContent;

class MapWidget : public QWidget {
public:
    MapWidget(const MapContent& map, QWidget* parent);
    // The map changed: draw it anew at the next repaint.
    void invalidate();
    // Only the footprints changed: draw them anew over the layers kept.
    void invalidateFootprints();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Draws the layers into layers_, then picture_ from it.
    void renderLayers();
    void renderPicture();
    QTransform toPixels() const;

    const MapContent& map_;
    QImage layers_;
    QImage picture_;
};

} // namespace strand32
