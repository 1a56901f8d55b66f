// The C boundary of the map library: maps of strand32/map.h by handle.
// Arguments are checked, nothing thrown passes it, failures become return
// values with a reason kept (read with Mapora_LastErrorText of the layer
// library).
#include "strand32/mapora_map.h"

#include <QApplication>
#include <QThread>
#include <memory>
#include <optional>
#include <string>

#include "library_state.h"
#include "map_table.h"

namespace {

using strand32::Boundary;
using strand32::Map;

// Maps live on the thread of the Qt application.
bool onGuiThread() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app != nullptr && QThread::currentThread() == app->thread();
}

// The map library's part of Mapora_Shutdown.
void closeMapsOnShutdown() {
    if (onGuiThread())
        strand32::closeAllMaps();
}

// 1 when the handle names a map of this thread and `f` succeeds with it.
template <class F> std::int32_t withMap(MaporaMap handle, F&& f) noexcept {
    return Boundary::run(0, [&] {
        if (!onGuiThread())
            return Boundary::fail(0, "maps are used on the Qt application's thread only");
        Map* m = strand32::findMap(handle);
        if (m == nullptr)
            return Boundary::fail(0, "no map " + std::to_string(handle));
        return f(*m) ? 1 : 0;
    });
}

void copySlot(char (&slot)[strand32::kLayerPathSize], const char* text) {
    if (text)
        platform::copyToBuffer(text, slot, strand32::kLayerPathSize);
}

} // namespace

extern "C" {

MaporaMap Mapora_MapCreate(const char* documentPath, void* parentWindow, const MaporaRect* rect,
                           std::int32_t, void*, const CoordSysKeys* keys) {
    return Boundary::run(MaporaMap{0}, [&]() -> MaporaMap {
        if (!strand32::libraryReady())
            return Boundary::fail(0u, "Mapora_Init has not readied the library");
        if (rect == nullptr)
            return Boundary::fail(0u, "Mapora_MapCreate: no drawing rectangle");
        if (!onGuiThread())
            return Boundary::fail(0u, "maps are made on the Qt application's thread only");
        CoordSysKeys mapKeys{};
        if (keys)
            mapKeys = *keys;
        auto map = std::make_unique<Map>(documentPath ? documentPath : "",
                                         static_cast<QWidget*>(parentWindow), *rect, mapKeys);
        strand32::setShutdownHook(&closeMapsOnShutdown);
        return strand32::addMap(std::move(map));
    });
}

std::int32_t Mapora_LayerConnect(MaporaMap map, std::uint16_t layerType, std::int32_t,
                                 const char* fileName, const char* companion1,
                                 const char* companion2, const char* companion3,
                                 const char* layerName, std::int32_t, const CoordSysKeys*) {
    std::int32_t id = -1;
    const bool added = withMap(map, [&](Map& m) {
        if (fileName == nullptr)
            return Boundary::fail(false, "Mapora_LayerConnect: no file name");
        LayerDescriptor layer{};
        copySlot(layer.fileName, fileName);
        copySlot(layer.companion[0], companion1);
        copySlot(layer.companion[1], companion2);
        copySlot(layer.companion[2], companion3);
        layer.layerType = layerType;
        const std::optional<int> added = m.addLayer(layer, layerName ? layerName : "");
        if (!added)
            return Boundary::fail(false, std::string("cannot read '") + fileName +
                                             "' for drawing (layer type " +
                                             std::to_string(layerType) + ")");
        id = *added;
        return true;
    });
    return added ? id : -1;
}

std::int32_t Mapora_MapGetProperties(MaporaMap map, MapProperties* properties) {
    return withMap(map, [&](Map& m) {
        if (properties == nullptr)
            return false;
        *properties = m.properties();
        return true;
    });
}

std::int32_t Mapora_MapSetProperties(MaporaMap map, const MapProperties* properties) {
    return withMap(map, [&](Map& m) {
        if (properties == nullptr)
            return false;
        m.setProperties(*properties);
        return true;
    });
}

std::int32_t Mapora_LayerSetVisible(MaporaMap map, std::int32_t layer, std::int32_t visible) {
    return withMap(map, [&](Map& m) {
        return m.setLayerVisible(layer, visible != 0) ||
               Boundary::fail(false, "no layer " + std::to_string(layer) + " in the map");
    });
}

std::int32_t Mapora_MapRedraw(MaporaMap map, std::int32_t) {
    return withMap(map, [&](Map& m) {
        m.redraw();
        return true;
    });
}

std::int32_t Mapora_MapSetCursor(MaporaMap map, std::int32_t cursor) {
    return withMap(map, [&](Map& m) {
        m.setCursor(cursor == MAPORA_CURSOR_CROSS ? strand32::MapCursor::Cross
                                                  : strand32::MapCursor::Arrow);
        return true;
    });
}

std::int32_t Mapora_MapSize(MaporaMap map, const MaporaRect* rect) {
    return withMap(map, [&](Map& m) {
        if (rect == nullptr)
            return false;
        m.resize(*rect);
        return true;
    });
}

std::int32_t Mapora_MapConvertCoordinates(MaporaMap map, const MaporaPoint* in, MaporaPoint* out,
                                          std::int32_t mode) {
    return withMap(map, [&](Map& m) {
        if (mode != MAPORA_PIXEL_TO_LONLAT)
            return Boundary::fail(false, "conversion mode " + std::to_string(mode) + " unknown");
        return in != nullptr && out != nullptr && m.view().pixelToLonLat(*in, *out);
    });
}

std::int32_t Mapora_MapGetViewCenter(MaporaMap map, MaporaPoint* center) {
    return withMap(map, [&](Map& m) {
        if (center == nullptr)
            return false;
        *center = m.view().center();
        return true;
    });
}

std::int32_t Mapora_MapSetViewCenter(MaporaMap map, const MaporaPoint* center) {
    return withMap(map, [&](Map& m) {
        if (center == nullptr || !m.setViewCenter(*center))
            return Boundary::fail(false, "the view centre is not a finite point");
        return true;
    });
}

std::int32_t Mapora_MapGetViewScale(MaporaMap map, double* scale) {
    return withMap(map, [&](Map& m) {
        if (scale == nullptr)
            return false;
        *scale = m.view().scale();
        return true;
    });
}

std::int32_t Mapora_MapSetViewScale(MaporaMap map, double scale) {
    return withMap(map, [&](Map& m) {
        if (!m.setViewScale(scale))
            return Boundary::fail(false, "scale " + std::to_string(scale) + " out of range");
        return true;
    });
}

std::int32_t Mapora_MapGetViewArea(MaporaMap map, MaporaExtent* area) {
    return withMap(map, [&](Map& m) {
        if (area == nullptr || m.view().resolution() <= 0.0)
            return false;
        *area = m.view().area();
        return true;
    });
}

std::int32_t Mapora_MapClose(MaporaMap map) {
    return Boundary::run(0, [&] {
        if (!onGuiThread())
            return Boundary::fail(0, "maps are closed on the Qt application's thread only");
        if (!strand32::closeMap(map))
            return Boundary::fail(0, "no map " + std::to_string(map));
        return 1;
    });
}

} // extern "C"
