// The C boundary of the map-view library: arguments checked, nothing thrown
// passes it, failures become return values.
#include "strand32/mapora.h"

#include <QApplication>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstring>

#include "gdal_support.h"
#include "map_table.h"
#include "quill32/datora.h"
#include "quill32/identify.h"
#include "strand32/layer_info.h"

namespace {

using strand32::Map;

std::atomic<bool> g_ready{false};

// Maps live on the thread of the Qt application.
bool onGuiThread() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app != nullptr && QThread::currentThread() == app->thread();
}

Map* guiMap(MaporaMap handle) {
    return onGuiThread() ? strand32::findMap(handle) : nullptr;
}

// True when the coordinate-system database opens and reads.
bool databaseUsable(const char* databaseFile) {
    if (databaseFile == nullptr || *databaseFile == '\0')
        return false;
    const DatoraDatabase db = Datora_DBConnect(databaseFile);
    if (db == 0)
        return false;
    const bool ok = Datora_DBOpen(db, 1) != 0;
    if (ok)
        Datora_DBClose(db);
    Datora_DBDisconnect(db);
    return ok;
}

template <class F> std::int32_t guarded(F&& f) noexcept {
    try {
        return f();
    } catch (...) {
        return 0;
    }
}

// 1 when the handle names a map of this thread and `f` succeeds with it.
template <class F> std::int32_t withMap(MaporaMap handle, F&& f) noexcept {
    return guarded([&] {
        Map* m = guiMap(handle);
        return m != nullptr && f(*m) ? 1 : 0;
    });
}

void copyText(char* out, std::int32_t size, const std::string& text) {
    if (out == nullptr || size <= 0)
        return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void copySlot(char (&slot)[strand32::kLayerPathSize], const char* text) {
    if (text)
        copyText(slot, strand32::kLayerPathSize, text);
}

} // namespace

extern "C" {

std::int32_t Mapora_Init(const char* databaseFile) {
    try {
        strand32::ensureGdal();
        if (!databaseUsable(databaseFile))
            return 1;
        g_ready = true;
        return 0;
    } catch (...) {
        return 1;
    }
}

void Mapora_Shutdown(void) {
    try {
        if (onGuiThread())
            strand32::closeAllMaps();
        g_ready = false;
    } catch (...) {
    }
}

MaporaMap Mapora_MapCreate(const char* documentPath, void* parentWindow, const MaporaRect* rect,
                           std::int32_t, void*, const CoordSysKeys* keys) {
    try {
        if (!g_ready || rect == nullptr || !onGuiThread())
            return 0;
        CoordSysKeys mapKeys{};
        if (keys)
            mapKeys = *keys;
        auto map = std::make_unique<Map>(documentPath ? documentPath : "",
                                         static_cast<QWidget*>(parentWindow), *rect, mapKeys);
        map->saveDocument();
        return strand32::addMap(std::move(map));
    } catch (...) {
        return 0;
    }
}

std::int32_t Mapora_LayerConnect(MaporaMap map, std::uint16_t layerType, std::int32_t,
                                 const char* fileName, const char* companion1,
                                 const char* companion2, const char* companion3,
                                 const char* layerName, std::int32_t, const CoordSysKeys*) {
    try {
        Map* m = guiMap(map);
        if (m == nullptr || fileName == nullptr)
            return -1;
        LayerDescriptor layer{};
        copySlot(layer.fileName, fileName);
        copySlot(layer.companion[0], companion1);
        copySlot(layer.companion[1], companion2);
        copySlot(layer.companion[2], companion3);
        layer.layerType = layerType;
        auto loaded = strand32::loadMapLayer(layer, layerName ? layerName : "");
        if (!loaded)
            return -1;
        const int id = m->addLayer(std::move(*loaded));
        m->saveDocument();
        return id;
    } catch (...) {
        return -1;
    }
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
        m.saveDocument();
        return true;
    });
}

std::int32_t Mapora_LayerSetVisible(MaporaMap map, std::int32_t layer, std::int32_t visible) {
    return withMap(map, [&](Map& m) { return m.setLayerVisible(layer, visible != 0); });
}

std::int32_t Mapora_MapRedraw(MaporaMap map, std::int32_t) {
    return withMap(map, [&](Map& m) {
        m.redraw();
        return true;
    });
}

std::int32_t Mapora_MapSetCursor(MaporaMap map, std::int32_t cursor) {
    return withMap(map, [&](Map& m) {
        m.setCursor(cursor);
        return true;
    });
}

std::int32_t Mapora_MapSize(MaporaMap map, const MaporaRect* rect) {
    return withMap(map, [&](Map& m) {
        if (rect == nullptr)
            return false;
        m.resize(*rect);
        m.redraw();
        return true;
    });
}

std::int32_t Mapora_MapConvertCoordinates(MaporaMap map, const MaporaPoint* in, MaporaPoint* out,
                                          std::int32_t mode) {
    return withMap(map, [&](Map& m) {
        return in != nullptr && out != nullptr && mode == MAPORA_PIXEL_TO_LONLAT &&
               m.view().pixelToLonLat(*in, *out);
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
        if (center == nullptr || !std::isfinite(center->x) || !std::isfinite(center->y))
            return false;
        m.view().setCenter(*center);
        m.saveDocument();
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
        if (!m.view().setScale(scale))
            return false;
        m.saveDocument();
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
    return guarded([&] { return onGuiThread() && strand32::closeMap(map) ? 1 : 0; });
}

std::int32_t Mapora_LayerExtent(const LayerDescriptor* layer, MaporaExtent* extent) {
    return guarded([&] {
        if (layer == nullptr || extent == nullptr)
            return 0;
        const auto e = strand32::layerExtent(*layer);
        if (!e)
            return 0;
        *extent = *e;
        return 1;
    });
}

std::int32_t Mapora_LayerCoordSys(const LayerDescriptor* layer, CoordSysKeys* keys, char* scratch,
                                  std::int32_t scratchSize) {
    return guarded([&] {
        if (layer == nullptr || keys == nullptr)
            return 0;
        std::memset(keys, 0, sizeof *keys);
        copyText(scratch, scratchSize, "");
        const auto crs = strand32::layerCrs(*layer);
        if (!crs)
            return 0;
        copyText(scratch, scratchSize, crs->name);
        return quill32::identifyCoordSys(crs->wkt, *keys) ? 1 : 0;
    });
}

std::int32_t Mapora_LayerObjectCount(const LayerDescriptor* layer, MaporaObjectCounts* counts) {
    return guarded([&] {
        if (layer == nullptr || counts == nullptr)
            return 0;
        const auto c = strand32::layerObjectCounts(*layer);
        if (!c)
            return 0;
        *counts = *c;
        return 1;
    });
}

} // extern "C"
