#pragma once
// The child widget a map draws into.
#include <QWidget>

namespace strand32 {

class Map;

class MapWidget : public QWidget {
public:
    MapWidget(const Map& map, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Map& map_;
};

} // namespace strand32
