#include "handle_table.h"

#include "quill32/live_objects.h"

namespace quill32 {

HandleTable& HandleTable::instance() {
    static HandleTable table;
    return table;
}

std::uint32_t HandleTable::nextHandle() {
    // Handles are never 0 and never one still in use, even after wrapping.
    do {
        ++last_;
    } while (last_ == 0 || connections_.count(last_) || objects_.count(last_));
    return last_;
}

std::uint32_t HandleTable::addConnection(Connection c) {
    std::lock_guard lock(mutex_);
    const auto h = nextHandle();
    connections_.emplace(h, std::move(c));
    return h;
}

bool HandleTable::removeConnection(std::uint32_t handle) {
    std::lock_guard lock(mutex_);
    return connections_.erase(handle) == 1;
}

std::uint32_t HandleTable::addObject(ObjectRef ref) {
    std::lock_guard lock(mutex_);
    const auto h = nextHandle();
    objects_.emplace(h, std::move(ref));
    return h;
}

bool HandleTable::removeObject(std::uint32_t handle) {
    std::optional<ObjectRef> keep; // freed outside the lock
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end())
        return false;
    keep = std::move(it->second);
    objects_.erase(it);
    return true;
}

std::optional<ObjectRef> HandleTable::object(std::uint32_t handle) const {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end())
        return std::nullopt;
    return it->second;
}

std::size_t HandleTable::objectCount() const {
    std::lock_guard lock(mutex_);
    return objects_.size();
}

std::size_t HandleTable::connectionCount() const {
    std::lock_guard lock(mutex_);
    return connections_.size();
}

std::size_t liveObjectCount() {
    return HandleTable::instance().objectCount();
}
std::size_t liveDatabaseCount() {
    return HandleTable::instance().connectionCount();
}

} // namespace quill32
