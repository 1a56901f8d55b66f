#pragma once
// The handles the Datora_* functions give out: connected databases with
// their enumeration cursors, and objects (groups, systems, datums) as the
// values of quill32/coordsys_database.h. Each object keeps the database
// contents it came from alive, so an object released after its database was
// closed is still safe to use.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>

#include "quill32/coordsys_database.h"

namespace quill32 {

using ObjectRef = std::variant<CoordSysGroup, CoordSys, Datum>;

struct Connection {
    std::string path;
    std::optional<CoordSysDatabase> database; // set while open
    std::size_t nextGroup = 0;
    std::optional<CoordSysGroup> systemGroup; // system-name enumeration
    std::size_t nextSystem = 0;
    std::size_t nextDatum = 0;
};

class HandleTable {
public:
    static HandleTable& instance();

    std::uint32_t addConnection(Connection c);
    bool removeConnection(std::uint32_t handle);
    std::uint32_t addObject(ObjectRef ref);
    bool removeObject(std::uint32_t handle);

    // Runs f on the entry under the table's lock; false when the handle is unknown.
    template <class F> bool withConnection(std::uint32_t handle, F&& f) {
        std::lock_guard lock(mutex_);
        auto it = connections_.find(handle);
        if (it == connections_.end())
            return false;
        f(it->second);
        return true;
    }
    // A copy of the object; nothing for an unknown handle.
    std::optional<ObjectRef> object(std::uint32_t handle) const;

    std::size_t objectCount() const;
    std::size_t connectionCount() const;

private:
    std::uint32_t nextHandle(); // caller holds the lock

    mutable std::mutex mutex_;
    std::uint32_t last_ = 0;
    std::unordered_map<std::uint32_t, Connection> connections_;
    std::unordered_map<std::uint32_t, ObjectRef> objects_;
};

} // namespace quill32
