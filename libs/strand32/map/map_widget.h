#pragma once
// The child widget a map draws into. The drawing is kept as a picture until
// the map is redrawn or resized, so a repaint (an outline drawn over the
// map, a window uncovered) only copies it.
#include <QImage>
#include <QWidget>

namespace strand32 {

struct MapContent;

class MapWidget : public QWidget {
public:
    MapWidget(const MapContent& map, QWidget* parent);
    // The map changed: draw it anew at the next repaint.
    void invalidate();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Draws the map into picture_.
    void render();

    const MapContent& map_;
    QImage picture_;
};

} // namespace strand32
