#pragma once
// A map drawn into a Qt widget, for C++ callers: its layers, drawing
// properties and view, the footprints of files drawn over it, and its map
// document. The Mapora_Map* functions are built on this class. Used on the
// thread of the Qt application only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quill32/coordsys_keys.h"
#include "strand32/layer.h"
#include "strand32/map_footprint.h"
#include "strand32/map_view.h"
#include "strand32/mapora_map.h"

class QWidget;

namespace strand32 {

enum class MapCursor { Arrow, Cross };

class Map {
public:
    // The map draws into a child widget of `parent` (null: a window of its
    // own, not shown) covering `rect`. Its document ("<base>.zvm" with
    // ".md1" to ".md3") is written at `documentPath` now and after every
    // change of its layers, properties or view; where that folder cannot be
    // written, in the process's runtime folder.
    Map(const std::string& documentPath, QWidget* parent, const MaporaRect& rect,
        const CoordSysKeys& keys);
    ~Map();
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Reads the layer for drawing and adds it, hidden; the first layer sets
    // the view to show all of it. Its index; nothing when the file cannot be
    // read or brought to longitude/latitude.
    std::optional<int> addLayer(const LayerDescriptor& layer, const std::string& name);
    // False for an index that names no layer.
    bool setLayerVisible(int layer, bool visible);
    int layerCount() const;

    const MapProperties& properties() const;
    void setProperties(const MapProperties& properties);

    const MapView& view() const;
    // False (view unchanged) for a point that is not finite.
    bool setViewCenter(MaporaPoint center);
    // False (view unchanged) for a scale MapView refuses.
    bool setViewScale(double scale);
    // Moves and resizes the widget; the view keeps its centre and scale.
    void resize(const MaporaRect& rect);

    void setCursor(MapCursor cursor);
    // Draws the map anew at the next repaint.
    void redraw();

    const std::string& documentPath() const;
    // False when the document could not be written anywhere.
    bool saveDocument();
    // The widget, null once its parent has destroyed it.
    QWidget* widget() const;

    // Footprints drawn outlined and lightly filled over the layers, the
    // selected ones highlighted; they replace those drawn before.
    void setFootprints(std::vector<MapFootprint> footprints);
    // Adds footprints to those drawn (as a search finds files).
    void addFootprints(std::vector<MapFootprint> footprints);
    // Selects exactly the footprints of these ids.
    void selectFootprints(const std::vector<std::uint64_t>& ids);
    // Ids of the footprints under a pixel of the parent window (as
    // doubles), or within two pixels of their outline, in the order given.
    std::vector<std::uint64_t> footprintsAt(MaporaPoint pixel) const;
    // Polygons drawn hatched over the footprints (an area's gaps).
    void setGaps(std::vector<LonLatPolygon> gaps);
    // No footprints and no gaps.
    void clearFootprints();

private:
    // Draws the footprints anew over the layers as drawn.
    void redrawFootprints();

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace strand32
