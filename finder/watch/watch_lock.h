#pragma once
// The lock a running kavrel-watch holds on the catalogue: searches trust
// what it vouches for only while it is held, so a watcher that stops (or
// crashes) vouches for nothing, and a second watcher does not start.
#include <optional>
#include <string>

namespace finder::watch {

class WatchLock {
public:
    // Takes the lock of the catalogue file `file`; none when another
    // process holds it (`problem` says so) or it cannot be made.
    static std::optional<WatchLock> take(const std::string& file, std::string& problem);
    ~WatchLock();
    WatchLock(WatchLock&& other) noexcept;
    WatchLock& operator=(WatchLock&& other) noexcept;
    WatchLock(const WatchLock&) = delete;
    WatchLock& operator=(const WatchLock&) = delete;

private:
    explicit WatchLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace finder::watch
