#pragma once
// The handles the Datora_* functions give out: connected databases with
// their enumeration cursors, and objects (groups, systems, datums). Each
// object keeps the database contents it came from alive, so an object
// released after its database was closed is still safe to use.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "database.h"

namespace quill32 {

enum class ObjectKind { Group, System, Datum };

struct ObjectRef {
    std::shared_ptr<const Database> data;
    ObjectKind kind = ObjectKind::Group;
    int group = -1; // group of a group or system object
    int index = -1; // system index in its group, or datum index
};

struct Connection {
    std::string path;
    std::shared_ptr<const Database> data; // set while open
    int nextGroup = 0;
    std::shared_ptr<const Database> systemData; // system-name enumeration
    int systemGroup = -1;
    int nextSystem = 0;
    int nextDatum = 0;
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
    // A copy of the object reference; kind check left to the caller.
    bool object(std::uint32_t handle, ObjectRef& out) const;

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
