#pragma once
// A folder nested so deep below a temporary folder that its full path is
// longer than any path the system opens whole (PATH_MAX): made, filled and
// removed one level at a time through folder descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace testsupport {

class DeepFolder {
public:
    // Below `base`, levels of `componentLength`-byte names until the path is
    // at least `pathLength` bytes long.
    DeepFolder(const std::string& base, std::size_t pathLength, std::size_t componentLength = 200)
        : path_(base) {
        fd_ = ::open(base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; path_.size() < pathLength; ++level) {
            std::string name = std::to_string(level) + "_" + std::string(componentLength, 'd');
            if (::mkdirat(fd_, name.c_str(), 0755) != 0)
                throw std::runtime_error("cannot make a level of the deep folder");
            const int next = ::openat(fd_, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            ::close(fd_);
            fd_ = next;
            path_ += "/" + name;
        }
    }
    ~DeepFolder() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    const std::string& path() const { return path_; }

    // Copies the file `from` (a path of ordinary length) into the deepest folder.
    void copyIn(const std::string& from, const std::string& name) const {
        std::ifstream in(from, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const int out = ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = out >= 0 && ::write(out, bytes.data(), bytes.size()) ==
                                             static_cast<ssize_t>(bytes.size());
        if (out >= 0)
            ::close(out);
        if (!in || !written)
            throw std::runtime_error("cannot copy " + from + " into the deep folder");
    }

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace testsupport
