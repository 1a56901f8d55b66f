// The C boundary of the layer library: Mapora_Init and Mapora_Shutdown, the
// layer functions (wrappers over the file's facts) and the last error text.
// Arguments are checked, nothing thrown passes it, failures become return
// values with a reason kept.
#include "strand32/mapora_layer.h"

#include <cstdio>
#include <string>

#include <algorithm>
#include <climits>

#include "gdal_support.h"
#include "library_state.h"
#include "quill32/datora.h"
#include "strand32/file_facts.h"

using strand32::Boundary;

namespace {

// "'<file>' (layer type N)", to say which layer a failure is about.
std::string describe(const LayerDescriptor& layer) {
    std::string text = "'";
    text += strand32::layerRefOf(layer).file;
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

// The facts of the layer the caller's descriptor names.
strand32::FileFacts factsOf(const LayerDescriptor& layer, strand32::FactsRequest request) {
    return strand32::readLayerFacts(strand32::layerRefOf(layer), request);
}

std::int32_t clamp32(std::int64_t n) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(n, INT32_MAX));
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
        const strand32::FileFacts facts = factsOf(*layer, {});
        if (!facts.extent)
            return Boundary::fail(0, "no extent known for " + describe(*layer));
        const strand32::Extent& e = *facts.extent;
        *extent = MaporaExtent{e.west, e.north, e.east, e.south};
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
        const strand32::FileFacts facts = factsOf(*layer, {.keys = true});
        if (facts.crsWkt.empty())
            return Boundary::fail(0, "no coordinate system known for " + describe(*layer));
        platform::copyToBuffer(facts.crsName, scratch, scratchSize);
        if (!facts.keys)
            return Boundary::fail(0, "the coordinate system '" + facts.crsName + "' of " +
                                         describe(*layer) + " has no keys in the database");
        *keys = *facts.keys;
        return 1;
    });
}

std::int32_t Mapora_LayerObjectCount(const LayerDescriptor* layer, MaporaObjectCounts* counts) {
    return Boundary::run(0, [&] {
        if (layer == nullptr || counts == nullptr)
            return Boundary::fail(0, "Mapora_LayerObjectCount: no layer or no counts to fill");
        const strand32::FileFacts facts = factsOf(*layer, {.counts = true});
        if (!facts.counts)
            return Boundary::fail(0, "cannot count the objects of " + describe(*layer));
        const strand32::ObjectCounts& c = *facts.counts;
        *counts = MaporaObjectCounts{clamp32(c.points), clamp32(c.lines), clamp32(c.polygons),
                                     clamp32(c.others)};
        return 1;
    });
}

std::int32_t Mapora_LastErrorText(char* buffer, std::int32_t size) {
    return Boundary::copyLastError(buffer, size);
}

} // extern "C"
