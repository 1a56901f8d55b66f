// One reading per sheet, guarded: a file manager may call the server from
// several threads.
#include "sheet_facts.h"

#include "module.h"

#include "strand32/layer.h"

#include <mutex>

namespace velmora {
namespace {

std::mutex g_factsMutex;
std::shared_ptr<const strand32::FileFacts> g_facts;

} // namespace

std::shared_ptr<const strand32::FileFacts> sheetFacts() {
    std::lock_guard lock(g_factsMutex);
    if (!g_facts)
        g_facts = std::make_shared<const strand32::FileFacts>(
            strand32::readLayerFacts(strand32::pageLayerRefOf(currentFileName()), {.keys = true}));
    return g_facts;
}

void forgetSheetFacts() {
    std::lock_guard lock(g_factsMutex);
    g_facts.reset();
}

strand32::FileFacts countedFacts() {
    return strand32::readLayerFacts(strand32::pageLayerRefOf(currentFileName()), {.counts = true});
}

bool offersLayersPage() noexcept {
    try {
        return strand32::isContainerKind(strand32::pageLayerRefOf(currentFileName()).type) &&
               sheetFacts()->layers.size() > 1;
    } catch (const std::exception&) {
        return false; // out of memory: the two pages still serve
    }
}

} // namespace velmora
