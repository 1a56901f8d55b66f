// Opening regular files only, and reading them with pread.
#include "regular_file.h"

#include <platform/regular_file_open.h>

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace strand32 {

std::optional<RegularFile> RegularFile::open(const std::string& path, PathKind* kind) {
    PathKind ignored;
    PathKind& found = kind ? *kind : ignored;
    struct stat info {};
    const int fd = platform::openRegularFileForReading(path.c_str(), info);
    if (fd < 0) {
        found = errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
        return std::nullopt;
    }
    found = PathKind::Regular;
    return RegularFile(fd, static_cast<std::uint64_t>(info.st_size));
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RegularFile::readAt(void* buffer, std::size_t count, std::uint64_t offset) const {
    auto* out = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::pread(fd_, out, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        count -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

} // namespace strand32
