// The remembered systems: one table for the process, behind a lock.
#include "crs_memo.h"

#include <mutex>
#include <unordered_map>

namespace strand32 {
namespace {

constexpr std::size_t kLimit = 256; // definitions; a search meets a few

struct Memo {
    std::mutex mutex;
    std::unordered_map<std::string, std::optional<LayerCrs>> systems;
};

Memo& memo() {
    static Memo m;
    return m;
}

} // namespace

std::optional<std::optional<LayerCrs>> rememberedCrs(const std::string& definition) {
    Memo& m = memo();
    const std::lock_guard lock(m.mutex);
    const auto it = m.systems.find(definition);
    if (it == m.systems.end())
        return std::nullopt;
    return it->second;
}

void rememberCrs(const std::string& definition, const std::optional<LayerCrs>& crs) {
    Memo& m = memo();
    const std::lock_guard lock(m.mutex);
    if (m.systems.size() >= kLimit)
        m.systems.clear();
    m.systems.insert_or_assign(definition, crs);
}

} // namespace strand32
