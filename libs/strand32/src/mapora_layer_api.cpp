// The C boundary of the layer library: Mapora_Init and Mapora_Shutdown, the
// layer functions and the last error text. Arguments are checked, nothing
// thrown passes it, failures become return values with a reason kept.
#include "strand32/mapora_layer.h"

#include <cstdio>
#include <string>

#include "gdal_support.h"
#include "layer_source.h"
#include "library_state.h"
#include "quill32/datora.h"
#include "quill32/identify.h"
#include "strand32/layer_info.h"

using strand32::Boundary;

namespace {

// "'<file>' (layer type N)", to say which layer a failure is about.
std::string describe(const LayerDescriptor& layer) {
    std::string text = "'";
    text += strand32::slotText(layer, 0);
    text += "' (layer type ";
    text += std::to_string(layer.layerType);
    text += ')';
    return text;
}

// Empty when the coordinate-system database opens and reads, else why not.
std::string databaseProblem(const char* databaseFile) {
    if (databaseFile == nullptr || *databaseFile == '\0')
        return "no coordinate-system database named";
    const DatoraDatabase db = Datora_DBConnect(databaseFile);
    const bool usable = db != 0 && Datora_DBOpen(db, 1) != 0;
    char why[512] = "";
    if (!usable && Datora_LastErrorText(why, sizeof why) == 0)
        std::snprintf(why, sizeof why, "'%s' cannot be read", databaseFile);
    if (usable)
        Datora_DBClose(db);
    if (db != 0)
        Datora_DBDisconnect(db);
    return usable ? std::string() : std::string("coordinate-system database: ") + why;
}

} // namespace

extern "C" {

std::int32_t Mapora_Init(const char* databaseFile) {
    return Boundary::run(1, [&] {
        strand32::ensureGdal();
        if (const std::string problem = databaseProblem(databaseFile); !problem.empty())
            return Boundary::fail(1, problem);
        strand32::setLibraryReady(true);
        return 0;
    });
}

void Mapora_Shutdown(void) {
    Boundary::run([] {
        strand32::setLibraryReady(false);
        strand32::runShutdownHook();
    });
}

std::int32_t Mapora_LayerExtent(const LayerDescriptor* layer, MaporaExtent* extent) {
    return Boundary::run(0, [&] {
        if (layer == nullptr || extent == nullptr)
            return Boundary::fail(0, "Mapora_LayerExtent: no layer or no extent to fill");
        const auto e = strand32::layerExtent(*layer);
        if (!e)
            return Boundary::fail(0, "no extent known for " + describe(*layer));
        *extent = *e;
        return 1;
    });
}

std::int32_t Mapora_LayerCoordSys(const LayerDescriptor* layer, CoordSysKeys* keys, char* scratch,
                                  std::int32_t scratchSize) {
    return Boundary::run(0, [&] {
        if (layer == nullptr || keys == nullptr)
            return Boundary::fail(0, "Mapora_LayerCoordSys: no layer or no keys to fill");
        *keys = CoordSysKeys{};
        platform::copyToBuffer("", scratch, scratchSize);
        const auto crs = strand32::layerCrs(*layer);
        if (!crs)
            return Boundary::fail(0, "no coordinate system known for " + describe(*layer));
        platform::copyToBuffer(crs->name, scratch, scratchSize);
        if (!quill32::identifyCoordSys(crs->wkt, *keys))
            return Boundary::fail(0, "the coordinate system '" + crs->name + "' of " +
                                         describe(*layer) + " has no keys in the database");
        return 1;
    });
}

std::int32_t Mapora_LayerObjectCount(const LayerDescriptor* layer, MaporaObjectCounts* counts) {
    return Boundary::run(0, [&] {
        if (layer == nullptr || counts == nullptr)
            return Boundary::fail(0, "Mapora_LayerObjectCount: no layer or no counts to fill");
        const auto c = strand32::layerObjectCounts(*layer);
        if (!c)
            return Boundary::fail(0, "cannot count the objects of " + describe(*layer));
        *counts = *c;
        return 1;
    });
}

std::int32_t Mapora_LastErrorText(char* buffer, std::int32_t size) {
    return Boundary::copyLastError(buffer, size);
}

} // extern "C"
