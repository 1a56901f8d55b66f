// The watcher's lock: an exclusive flock on FILE.watch beside the catalogue.
#include "watch_lock.h"

#include "finder/catalogue.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace finder::watch {

std::optional<WatchLock> WatchLock::take(const std::string& file, std::string& problem) {
    const std::string lock = Catalogue::lockFile(file);
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        problem = "cannot open " + lock + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        problem = errno == EWOULDBLOCK ? "another kavrel-watch watches " + file
                                       : "cannot lock " + lock + ": " + std::strerror(errno);
        ::close(fd);
        return std::nullopt;
    }
    return WatchLock(fd);
}

WatchLock::~WatchLock() {
    if (fd_ >= 0)
        ::close(fd_); // the lock goes with the descriptor
}

WatchLock::WatchLock(WatchLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

WatchLock& WatchLock::operator=(WatchLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

} // namespace finder::watch
