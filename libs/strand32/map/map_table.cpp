// Handle table of the open maps.
#include "map_table.h"

#include <map>
#include <mutex>

namespace strand32 {
namespace {

struct Table {
    std::mutex mutex;
    std::map<std::uint32_t, std::unique_ptr<Map>> maps;
    std::uint32_t next = 1;
};

Table& table() {
    static Table t;
    return t;
}

} // namespace

std::uint32_t addMap(std::unique_ptr<Map> map) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    while (t.next == 0 || t.maps.count(t.next))
        ++t.next;
    const std::uint32_t handle = t.next++;
    t.maps.emplace(handle, std::move(map));
    return handle;
}

Map* findMap(std::uint32_t handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.maps.find(handle);
    return it == t.maps.end() ? nullptr : it->second.get();
}

bool closeMap(std::uint32_t handle) {
    std::unique_ptr<Map> closing;
    {
        Table& t = table();
        std::lock_guard lock(t.mutex);
        const auto it = t.maps.find(handle);
        if (it == t.maps.end())
            return false;
        closing = std::move(it->second);
        t.maps.erase(it);
    }
    return true; // the map and its widget go here, outside the lock
}

void closeAllMaps() {
    std::map<std::uint32_t, std::unique_ptr<Map>> closing;
    {
        Table& t = table();
        std::lock_guard lock(t.mutex);
        closing.swap(t.maps);
    }
}

} // namespace strand32
