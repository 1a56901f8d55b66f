// libkavrel_layers: a file's facts read with the map-view library (one
// opening of the file, its system named and turned into degrees with the
// coordinate-system library), with nothing thrown across the module's edge.
#include "finder/layer_module.h"
#include "finder/module_guard.h"

#include <quill32/identify.h>

#include <cstdlib>
#include <stdexcept>

namespace finder {
namespace {

// KAVREL_TEST_FAIL_READING=NAME makes the reading of files named NAME fail
// as a library's failure would: how tests see a failing search reported.
void failWhenTestAsks(const std::string& path) {
    const char* const name = std::getenv("KAVREL_TEST_FAIL_READING");
    if (name != nullptr && *name != '\0' && path.ends_with(std::string("/") + name))
        throw std::runtime_error("cannot read " + path + " (KAVREL_TEST_FAIL_READING)");
}

bool readFacts(const std::string& path, const strand32::FactsRequest& request,
               strand32::FileFacts& facts, std::string& error) noexcept {
    return guarded(error, "reading a file's facts", [&] {
        failWhenTestAsks(path);
        facts = strand32::readFileFacts(path, request);
    });
}

std::optional<CoordSysKeys> keysOf(const std::string& wkt) {
    CoordSysKeys keys{};
    if (wkt.empty() || !quill32::identifyCoordSys(wkt, keys))
        return std::nullopt;
    return keys;
}

bool completeKeys(strand32::FileFacts& facts, std::string& error) noexcept {
    return guarded(error, "naming a file's coordinate system", [&] {
        if (facts.keysRead)
            return;
        for (strand32::LayerFacts& layer : facts.layers)
            layer.keys = keysOf(layer.crsWkt);
        facts.keys = keysOf(facts.crsWkt);
        facts.keysRead = true;
    });
}

constexpr LayerModule kModule{kLayerModuleVersion, kModuleBuildTag, &readFacts, &completeKeys};

} // namespace
} // namespace finder

extern "C" const finder::LayerModule* kavrel_layer_module() {
    return &finder::kModule;
}
