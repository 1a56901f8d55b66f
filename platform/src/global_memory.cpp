#include "platform/global_memory.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace platform {

namespace {

struct Block {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    unsigned locks = 0;
};

// Live blocks by handle. Handles are never reused, so a freed handle stays
// refused for the life of the process.
class BlockTable {
public:
    HGLOBAL add(Block block) {
        std::lock_guard guard(mutex_);
        const HGLOBAL handle = next_;
        next_ += kStep;
        blocks_.emplace(handle, std::move(block));
        return handle;
    }

    template <typename F> auto with(HGLOBAL handle, F&& f) -> decltype(f(std::declval<Block*>())) {
        std::lock_guard guard(mutex_);
        const auto it = blocks_.find(handle);
        return f(it == blocks_.end() ? nullptr : &it->second);
    }

    bool remove(HGLOBAL handle) {
        std::lock_guard guard(mutex_);
        return blocks_.erase(handle) == 1;
    }

    std::size_t count() {
        std::lock_guard guard(mutex_);
        return blocks_.size();
    }

private:
    // Odd-looking, spaced values so that small integers and pointers are
    // never mistaken for handles.
    static constexpr HGLOBAL kStep = 0x1C;
    std::mutex mutex_;
    std::unordered_map<HGLOBAL, Block> blocks_;
    HGLOBAL next_ = 0x5A0004;
};

BlockTable& table() {
    static BlockTable instance;
    return instance;
}

// Storage of at least one byte, so that an empty block still has an address.
std::unique_ptr<unsigned char[]> storage(std::size_t bytes) {
    return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[bytes ? bytes : 1]());
}

} // namespace

HGLOBAL GlobalAlloc(unsigned /*flags*/, std::size_t bytes) {
    // Every block is zero-filled; callers that do not ask for it cannot tell.
    Block block{storage(bytes), bytes, 0};
    if (!block.data)
        return 0;
    return table().add(std::move(block));
}

void* GlobalLock(HGLOBAL handle) {
    return table().with(handle, [](Block* b) -> void* {
        if (!b)
            return nullptr;
        ++b->locks;
        return b->data.get();
    });
}

bool GlobalUnlock(HGLOBAL handle) {
    return table().with(handle, [](Block* b) {
        if (!b || b->locks == 0)
            return false;
        return --b->locks > 0;
    });
}

HGLOBAL GlobalFree(HGLOBAL handle) {
    return table().remove(handle) ? 0 : handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL handle, std::size_t bytes, unsigned flags) {
    return table().with(handle, [&](Block* b) -> HGLOBAL {
        if (!b)
            return 0;
        // A locked block keeps its address unless the caller allows a move.
        if (b->locks > 0 && !(flags & GMEM_MOVEABLE))
            return 0;
        auto data = storage(bytes);
        if (!data)
            return 0;
        std::copy_n(b->data.get(), std::min(b->size, bytes), data.get());
        b->data = std::move(data);
        b->size = bytes;
        return handle;
    });
}

std::size_t GlobalSize(HGLOBAL handle) {
    return table().with(handle, [](Block* b) { return b ? b->size : std::size_t{0}; });
}

bool GlobalIsLive(HGLOBAL handle) {
    return table().with(handle, [](Block* b) { return b != nullptr; });
}

std::size_t GlobalLiveCount() {
    return table().count();
}

GlobalBlock& GlobalBlock::operator=(GlobalBlock&& o) noexcept {
    if (this != &o)
        reset(o.release());
    return *this;
}

HGLOBAL GlobalBlock::release() {
    const HGLOBAL h = handle_;
    handle_ = 0;
    return h;
}

void GlobalBlock::reset(HGLOBAL h) {
    if (handle_ != 0)
        GlobalFree(handle_);
    handle_ = h;
}

} // namespace platform
