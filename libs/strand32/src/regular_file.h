#pragma once
// A regular file opened for reading by the header readers. Anything else (a
// folder, a pipe, a device, a socket) is never opened: the path is checked
// before the open, and the opened file again, so a swap in between fails.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace strand32 {

// Whether a path names something, and if so whether it is a regular file
// (symbolic links followed).
enum class PathKind { Missing, Regular, Other };

class RegularFile {
public:
    // Nothing when `path` does not name a readable regular file; `kind`
    // (if given) tells what it names instead.
    static std::optional<RegularFile> open(const std::string& path, PathKind* kind = nullptr);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    std::uint64_t size() const { return size_; }
    // Reads exactly `count` bytes at `offset`; false on a short read.
    bool readAt(void* buffer, std::size_t count, std::uint64_t offset) const;

private:
    RegularFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace strand32
