// A map and its document: "<base>.zvm" names the map's coordinate system and
// view, ".md1" lists the layers, ".md2" holds the view rectangle and ".md3"
// the drawing properties as stored.
#include "strand32/map.h"

#include <QCursor>
#include <QPointer>
#include <cmath>
#include <cstring>
#include <fstream>

#include "map_content.h"
#include "map_widget.h"
#include "platform/paths.h"

namespace strand32 {
namespace {

constexpr double kPickPixels = 2.0; // how near an outline a pixel picks it

std::string baseOf(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string keyText(const char (&key)[quill32::kKeySize]) {
    return std::string(key, strnlen(key, quill32::kKeySize));
}

MapProperties defaultProperties() {
    MapProperties p;
    std::memset(&p, 0, sizeof p);
    p.backgroundRgb = 0xd8e8f8; // sea
    p.landRgb = 0xf4f0dc;
    p.outlineRgb = 0x606060;
    p.pointRgb = 0xc03020;
    p.showGraticule = 1;
    p.showFrame = 1;
    return p;
}

} // namespace

struct Map::State {
    State(const std::string& path, const MaporaRect& rect, const CoordSysKeys& mapKeys)
        : documentPath(path), keys(mapKeys), content(rect) {
        content.properties = defaultProperties();
    }
    bool writeDocument(const std::string& path) const;

    std::string documentPath;
    CoordSysKeys keys;
    MapContent content;
    QPointer<MapWidget> widget;
};

bool Map::State::writeDocument(const std::string& path) const {
    const std::string base = baseOf(path);
    const MapView& view = content.view;
    std::ofstream doc(path, std::ios::trunc);
    doc << "map\nkeys\t" << keyText(keys.group) << '\t' << keyText(keys.system) << '\t'
        << keyText(keys.datum) << '\t' << keyText(keys.units) << "\ncenter\t" << view.center().x
        << '\t' << view.center().y << "\nscale\t" << view.scale() << "\nlayers\t"
        << content.layers.size() << '\n';
    std::ofstream md1(base + ".md1", std::ios::trunc);
    for (std::size_t i = 0; i < content.layers.size(); ++i)
        md1 << i << '\t' << content.layers[i].type << '\t' << content.layers[i].visible << '\t'
            << content.layers[i].name << '\n';
    std::ofstream md2(base + ".md2", std::ios::trunc);
    const MaporaRect& r = view.rect();
    md2 << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << '\n';
    std::ofstream md3(base + ".md3", std::ios::binary | std::ios::trunc);
    md3.write(reinterpret_cast<const char*>(&content.properties), sizeof content.properties);
    return doc.flush().good() && md1.flush().good() && md2.flush().good() && md3.flush().good();
}

Map::Map(const std::string& documentPath, QWidget* parent, const MaporaRect& rect,
         const CoordSysKeys& keys)
    : state_(std::make_unique<State>(documentPath, rect, keys)) {
    const MapView& view = state_->content.view;
    state_->widget = new MapWidget(state_->content, parent);
    state_->widget->setGeometry(rect.left, rect.top, view.width(), view.height());
    if (parent)
        state_->widget->show();
    saveDocument();
}

Map::~Map() {
    delete state_->widget.data();
}

QWidget* Map::widget() const {
    return state_->widget.data();
}

const std::string& Map::documentPath() const {
    return state_->documentPath;
}

bool Map::saveDocument() {
    const std::string& path = state_->documentPath;
    if (!path.empty() && state_->writeDocument(path))
        return true;
    // The folder named may not be writable; the per-process folder is.
    const std::string fallback = platform::runtimeFolder() + "/" +
                                 (path.empty() ? std::string("map.zvm") : fileNameOf(path));
    if (!state_->writeDocument(fallback))
        return false;
    state_->documentPath = fallback;
    return true;
}

std::optional<int> Map::addLayer(const LayerDescriptor& layer, const std::string& name) {
    std::optional<MapLayer> loaded = loadMapLayer(layer, name);
    if (!loaded)
        return std::nullopt;
    MapContent& content = state_->content;
    if (content.layers.empty())
        content.view.fit(loaded->lonLatExtent);
    content.layers.push_back(std::move(*loaded));
    saveDocument();
    return static_cast<int>(content.layers.size() - 1);
}

bool Map::setLayerVisible(int layer, bool visible) {
    auto& layers = state_->content.layers;
    if (layer < 0 || static_cast<std::size_t>(layer) >= layers.size())
        return false;
    layers[static_cast<std::size_t>(layer)].visible = visible;
    return true;
}

int Map::layerCount() const {
    return static_cast<int>(state_->content.layers.size());
}

const MapProperties& Map::properties() const {
    return state_->content.properties;
}

void Map::setProperties(const MapProperties& properties) {
    state_->content.properties = properties;
    saveDocument();
}

const MapView& Map::view() const {
    return state_->content.view;
}

bool Map::setViewCenter(MaporaPoint center) {
    if (!std::isfinite(center.x) || !std::isfinite(center.y))
        return false;
    state_->content.view.setCenter(center);
    saveDocument();
    return true;
}

bool Map::setViewScale(double scale) {
    if (!state_->content.view.setScale(scale))
        return false;
    saveDocument();
    return true;
}

void Map::resize(const MaporaRect& rect) {
    MapView& view = state_->content.view;
    view.setRect(rect);
    if (state_->widget)
        state_->widget->setGeometry(rect.left, rect.top, view.width(), view.height());
    redraw();
}

void Map::setCursor(MapCursor cursor) {
    MapWidget* widget = state_->widget.data();
    if (widget == nullptr)
        return;
    const Qt::CursorShape shape = cursor == MapCursor::Cross ? Qt::CrossCursor : Qt::ArrowCursor;
    widget->setCursor(shape);
    // The parent receives the mouse, so it shows the cursor too.
    if (QWidget* parent = widget->parentWidget())
        parent->setCursor(shape);
}

void Map::redraw() {
    if (state_->widget)
        state_->widget->invalidate();
}

void Map::redrawFootprints() {
    if (state_->widget)
        state_->widget->invalidateFootprints();
}

void Map::setFootprints(std::vector<MapFootprint> footprints) {
    state_->content.footprints.set(std::move(footprints));
    redrawFootprints();
}

void Map::addFootprints(std::vector<MapFootprint> footprints) {
    state_->content.footprints.add(std::move(footprints));
    redrawFootprints();
}

void Map::selectFootprints(const std::vector<std::uint64_t>& ids) {
    state_->content.footprints.select(ids);
    redrawFootprints();
}

std::vector<std::uint64_t> Map::footprintsAt(MaporaPoint pixel) const {
    const MapView& view = state_->content.view;
    MaporaPoint lonLat{};
    if (!view.pixelToLonLat(pixel, lonLat))
        return {};
    return state_->content.footprints.idsAt(lonLat, kPickPixels * view.resolution());
}

void Map::setGaps(std::vector<LonLatPolygon> gaps) {
    state_->content.footprints.setGaps(std::move(gaps));
    redrawFootprints();
}

void Map::clearFootprints() {
    state_->content.footprints.clear();
    redrawFootprints();
}

} // namespace strand32
