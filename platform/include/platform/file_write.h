#pragma once
// Files written whole or not at all: a descriptor that closes itself, and
// the write-to-a-temporary-name-then-move that keeps an earlier file intact
// when a write fails or the process dies half-way.
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

namespace platform {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1);

private:
    int fd_;
};

// Writes every byte, going on after interruptions; false on an error.
bool writeAll(int fd, std::string_view bytes);

enum class Placement { Replace, OnlyIfAbsent };

// Temporary files are "<path>.tmp-" and six random letters or digits, a name
// no one else gives a file, so those a killed writer left can be told.
inline constexpr std::string_view kTemporaryInfix = ".tmp-";

// Writes `bytes` to a temporary file in the same folder with `mode`, flushes
// it to the disk and moves it to `path`. Returns 0 or the errno of the
// failing step; the temporary file never stays. OnlyIfAbsent gives EEXIST
// when `path` exists, leaving it as it is.
int writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode,
                        Placement placement = Placement::Replace);

// The mode a new file of the user's gets: 0666 less the process's umask.
mode_t newFileMode();

} // namespace platform
