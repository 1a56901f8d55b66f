#pragma once
// One map: its view, layers, drawing properties, the widget it draws into
// and its document files.
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "map_layer.h"
#include "map_view.h"
#include "strand32/mapora_map.h"

namespace strand32 {

class MapWidget;

class Map {
public:
    // The widget is made a child of `parent` (may be null: a window of its
    // own, not shown) and covers `rect`.
    Map(const std::string& documentPath, QWidget* parent, const MaporaRect& rect,
        const CoordSysKeys& keys);
    ~Map();
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // False when the document files could not be written anywhere.
    bool saveDocument();
    const std::string& documentPath() const { return documentPath_; }

    int addLayer(MapLayer layer);
    bool setLayerVisible(int layer, bool visible);
    const std::vector<MapLayer>& layers() const { return layers_; }

    MapView& view() { return view_; }
    const MapView& view() const { return view_; }
    // Moves and resizes the widget to the view's rectangle.
    void resize(const MaporaRect& rect);

    const MapProperties& properties() const { return properties_; }
    void setProperties(const MapProperties& properties);

    void setCursor(int cursor);
    void redraw();
    // The widget, null once its parent has destroyed it.
    MapWidget* widget() const;

private:
    std::string documentPath_;
    CoordSysKeys keys_;
    MapView view_;
    MapProperties properties_;
    std::vector<MapLayer> layers_;
    QPointer<MapWidget> widget_;
};

} // namespace strand32
