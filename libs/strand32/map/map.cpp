// A map and its document: "<base>.zvm" names the map's coordinate system and
// view, ".md1" lists the layers, ".md2" holds the view rectangle and ".md3"
// the drawing properties as stored.
#include "map.h"

#include <QCoreApplication>
#include <QCursor>
#include <cstring>
#include <fstream>

#include "map_widget.h"
#include "platform/paths.h"

namespace strand32 {
namespace {

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

Map::Map(const std::string& documentPath, QWidget* parent, const MaporaRect& rect,
         const CoordSysKeys& keys)
    : documentPath_(documentPath), keys_(keys), view_(rect), properties_(defaultProperties()) {
    widget_ = new MapWidget(*this, parent);
    widget_->setGeometry(rect.left, rect.top, view_.width(), view_.height());
    if (parent)
        widget_->show();
}

Map::~Map() {
    delete widget_.data();
}

MapWidget* Map::widget() const {
    return widget_.data();
}

bool Map::saveDocument() {
    auto writeAll = [this](const std::string& path) {
        const std::string base = baseOf(path);
        std::ofstream doc(path, std::ios::trunc);
        doc << "map\nkeys\t" << keyText(keys_.group) << '\t' << keyText(keys_.system) << '\t'
            << keyText(keys_.datum) << '\t' << keyText(keys_.units) << "\ncenter\t"
            << view_.center().x << '\t' << view_.center().y << "\nscale\t" << view_.scale()
            << "\nlayers\t" << layers_.size() << '\n';
        std::ofstream md1(base + ".md1", std::ios::trunc);
        for (std::size_t i = 0; i < layers_.size(); ++i)
            md1 << i << '\t' << layers_[i].type << '\t' << layers_[i].visible << '\t'
                << layers_[i].name << '\n';
        std::ofstream md2(base + ".md2", std::ios::trunc);
        const MaporaRect& r = view_.rect();
        md2 << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << '\n';
        std::ofstream md3(base + ".md3", std::ios::binary | std::ios::trunc);
        md3.write(reinterpret_cast<const char*>(&properties_), sizeof properties_);
        return doc.flush().good() && md1.flush().good() && md2.flush().good() && md3.flush().good();
    };
    if (!documentPath_.empty() && writeAll(documentPath_))
        return true;
    // The folder named may not be writable; the per-process folder is.
    const std::string fallback =
        platform::runtimeFolder() + "/" +
        (documentPath_.empty() ? std::string("map.zvm") : fileNameOf(documentPath_));
    if (!writeAll(fallback))
        return false;
    documentPath_ = fallback;
    return true;
}

int Map::addLayer(MapLayer layer) {
    if (layers_.empty())
        view_.fit(layer.lonLatExtent);
    layers_.push_back(std::move(layer));
    return static_cast<int>(layers_.size() - 1);
}

bool Map::setLayerVisible(int layer, bool visible) {
    if (layer < 0 || static_cast<std::size_t>(layer) >= layers_.size())
        return false;
    layers_[layer].visible = visible;
    return true;
}

void Map::resize(const MaporaRect& rect) {
    view_.setRect(rect);
    if (widget_)
        widget_->setGeometry(rect.left, rect.top, view_.width(), view_.height());
}

void Map::setProperties(const MapProperties& properties) {
    properties_ = properties;
}

void Map::setCursor(int cursor) {
    if (!widget_)
        return;
    const Qt::CursorShape shape = cursor == MAPORA_CURSOR_CROSS ? Qt::CrossCursor : Qt::ArrowCursor;
    widget_->setCursor(shape);
    // The parent receives the mouse, so it shows the cursor too.
    if (QWidget* parent = widget_->parentWidget())
        parent->setCursor(shape);
}

void Map::redraw() {
    if (widget_)
        widget_->invalidate();
}

} // namespace strand32
