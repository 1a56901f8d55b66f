#include "folder_listing.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace finder {
namespace {

bool isDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

} // namespace

FolderDescriptor::~FolderDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

FolderDescriptor::FolderDescriptor(FolderDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FolderDescriptor& FolderDescriptor::operator=(FolderDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FolderDescriptor FolderDescriptor::ofPath(const std::string& path) {
    return FolderDescriptor(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

FolderDescriptor FolderDescriptor::below(int parent, const char* name) {
    return FolderDescriptor(::openat(parent, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool FolderDescriptor::searchable() const {
    // Looking up "." in the folder takes the right to search it.
    const int probe = ::openat(fd_, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (probe < 0)
        return false;
    ::close(probe);
    return true;
}

bool FolderListing::open(const FolderDescriptor& folder) {
    const int fd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    dir_.reset(fdopendir(fd));
    if (!dir_) {
        ::close(fd);
        return false;
    }
    while (const dirent* d = readdir(dir_.get()))
        add(d->d_name, d->d_type);
    return true;
}

void FolderListing::adopt(const FolderDescriptor& folder) {
    borrowed_ = folder.fd();
}

void FolderListing::add(std::string_view name, unsigned char type, const struct stat* known) {
    ListedEntry entry;
    entry.offset = static_cast<std::uint32_t>(names_.size());
    entry.length = static_cast<std::uint32_t>(name.size());
    entry.type = type;
    if (known != nullptr) {
        entry.known = static_cast<std::int32_t>(known_.size());
        known_.push_back(*known);
    }
    names_.append(name);
    names_.push_back('\0');
    entries_.push_back(entry);
}

std::vector<std::string> FolderListing::names() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const ListedEntry& entry : entries_) {
        if (!isDotOrDotDot(name(entry)))
            result.emplace_back(name(entry));
    }
    return result;
}

bool FolderListing::isSubfolder(const ListedEntry& entry) const {
    if (entry.type == DT_DIR)
        return !isDotOrDotDot(name(entry));
    if (entry.type != DT_UNKNOWN)
        return false;
    struct stat info {};
    return !isDotOrDotDot(name(entry)) &&
           fstatat(fd(), cName(entry), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

bool FolderListing::statOf(const ListedEntry& entry, struct stat& info) const {
    if (entry.known >= 0) {
        info = known_[static_cast<std::size_t>(entry.known)];
        return true;
    }
    if (fstatat(fd(), cName(entry), &info, 0) == 0)
        return true;
    // A dangling link is still an entry of the folder.
    return fstatat(fd(), cName(entry), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool FolderListing::statOfFolder(struct stat& info) const {
    return ::fstat(fd(), &info) == 0;
}

std::string absoluteFolderPath(const std::string& path) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string result(resolved);
        std::free(resolved);
        return result;
    }
    if (!path.empty() && path.front() == '/')
        return path;
    std::string current(PATH_MAX, '\0');
    while (::getcwd(current.data(), current.size()) == nullptr) {
        if (errno != ERANGE)
            return path;
        current.resize(current.size() * 2);
    }
    current.resize(current.find('\0'));
    return current + (current.ends_with('/') ? "" : "/") + path;
}

} // namespace finder
