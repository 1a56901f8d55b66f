#include "folder_listing.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace finder {
namespace {

bool isDotOrDotDot(std::string_view name) {
    return name == "." || name == "..";
}

} // namespace

bool FolderListing::open() {
    const int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    dir_.reset(fdopendir(fd));
    if (!dir_) {
        ::close(fd);
        return false;
    }
    while (const dirent* d = readdir(dir_.get())) {
        const std::string_view name(d->d_name);
        ListedEntry entry;
        entry.offset = static_cast<std::uint32_t>(names_.size());
        entry.length = static_cast<std::uint32_t>(name.size());
        entry.type = d->d_type;
        names_.append(name);
        names_.push_back('\0');
        entries_.push_back(entry);
    }
    return true;
}

bool FolderListing::isSubfolder(const ListedEntry& entry) const {
    if (entry.type == DT_DIR)
        return !isDotOrDotDot(name(entry));
    if (entry.type != DT_UNKNOWN)
        return false;
    struct stat info {};
    return !isDotOrDotDot(name(entry)) &&
           fstatat(dirfd(dir_.get()), names_.c_str() + entry.offset, &info, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           S_ISDIR(info.st_mode);
}

bool FolderListing::statOf(const ListedEntry& entry, struct stat& info) const {
    const char* name = names_.c_str() + entry.offset;
    if (fstatat(dirfd(dir_.get()), name, &info, 0) == 0)
        return true;
    // A dangling link is still an entry of the folder.
    return fstatat(dirfd(dir_.get()), name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool FolderListing::enter(const ListedEntry& entry) const {
    // The entry may have become a symbolic link since the listing was read:
    // such a link is not followed, or the walk could leave the tree. A path
    // descriptor needs no right to list the folder, only to enter it.
    const int fd = ::openat(dirfd(dir_.get()), names_.c_str() + entry.offset,
                            O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool entered = ::fchdir(fd) == 0;
    ::close(fd);
    return entered;
}

bool FolderListing::statOfFolder(struct stat& info) const {
    return ::fstat(dirfd(dir_.get()), &info) == 0;
}

bool FolderListing::returnHere() const {
    return ::fchdir(dirfd(dir_.get())) == 0;
}

std::string currentFolderPath() {
    std::string path(PATH_MAX, '\0');
    while (::getcwd(path.data(), path.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(path.find('\0'));
    return path;
}

} // namespace finder
