#pragma once
// Global memory blocks: movable, zero-filled, shareable blocks named by
// opaque non-zero handles. A value that is not a live block is refused
// (null / false / 0) rather than dereferenced.
#include <cstddef>
#include <cstdint>

namespace platform {

using HGLOBAL = std::uintptr_t;

constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GMEM_SHARE = 0x2000;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes); // 0 on failure
void* GlobalLock(HGLOBAL block);                        // null when not live
bool GlobalUnlock(HGLOBAL block);                       // false when the lock count reaches 0
HGLOBAL GlobalFree(HGLOBAL block);                      // 0 on success, the handle on failure
HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, unsigned flags); // 0 on failure
std::size_t GlobalSize(HGLOBAL block);                                   // 0 when not live
bool GlobalIsLive(HGLOBAL block);
std::size_t GlobalLiveCount(); // blocks allocated and not freed (for tests)

// Owns a block and frees it on destruction unless released to a receiver.
class GlobalBlock {
public:
    GlobalBlock() = default;
    explicit GlobalBlock(HGLOBAL h) : handle_(h) {}
    ~GlobalBlock() { reset(); }
    GlobalBlock(GlobalBlock&& o) noexcept : handle_(o.release()) {}
    GlobalBlock& operator=(GlobalBlock&& o) noexcept;
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return handle_; }
    HGLOBAL release();
    void reset(HGLOBAL h = 0);

private:
    HGLOBAL handle_ = 0;
};

} // namespace platform
