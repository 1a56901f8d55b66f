#include "platform/find_file.h"

#include "platform/registry.h"
#include "platform/wildcard.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600;

std::uint32_t attributesOf(const struct stat& st, std::string_view name, bool symlink) {
    std::uint32_t a = 0;
    if (S_ISDIR(st.st_mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    else
        a |= FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & 0222) == 0)
        a |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name.front() == '.' && name != "..")
        a |= FILE_ATTRIBUTE_HIDDEN;
    if (symlink)
        a |= FILE_ATTRIBUTE_REPARSE_POINT;
    return a;
}

} // namespace

std::uint64_t fileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    if (seconds < -kEpochDifference)
        return 0;
    return static_cast<std::uint64_t>(seconds + kEpochDifference) * 10'000'000u +
           static_cast<std::uint64_t>(nanoseconds / 100);
}

void FindFile::DirCloser::operator()(DIR* dir) const {
    ::closedir(dir);
}

FindFile::FindFile() = default;
FindFile::~FindFile() = default;
FindFile::FindFile(FindFile&&) noexcept = default;
FindFile& FindFile::operator=(FindFile&&) noexcept = default;

long FindFile::open(const std::string& folder, std::string_view pattern) {
    close();
    dir_.reset(::opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir_) {
        const int err = errno;
        if (err == EACCES || err == EPERM)
            return ERROR_ACCESS_DENIED;
        return ERROR_PATH_NOT_FOUND;
    }
    pattern_ = pattern;
    dotsGiven_ = 0;
    if (next())
        return ERROR_SUCCESS;
    close();
    return ERROR_FILE_NOT_FOUND;
}

bool FindFile::next() {
    if (!dir_)
        return false;
    while (dotsGiven_ < 2) {
        const char* dots = dotsGiven_++ == 0 ? "." : "..";
        if (wildcardMatch(pattern_, dots) && fill(dots))
            return true;
    }
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(dir_.get());
        if (d == nullptr)
            return false; // the end, or a folder that failed while being read
        const std::string_view name = d->d_name;
        if (name == "." || name == "..")
            continue;
        // The name first: no stat for entries the pattern turns away.
        if (wildcardMatch(pattern_, name) && fill(d->d_name))
            return true;
    }
}

bool FindFile::fill(const char* name) {
    const int dirFd = ::dirfd(dir_.get());
    struct stat link {};
    if (::fstatat(dirFd, name, &link, AT_SYMLINK_NOFOLLOW) != 0)
        return false; // gone since it was listed
    const bool symlink = S_ISLNK(link.st_mode);
    struct stat st = link;
    if (symlink && ::fstatat(dirFd, name, &st, 0) != 0)
        st = link; // a dangling link is listed as the link itself
    entry_.name = name;
    entry_.isFolder = S_ISDIR(st.st_mode);
    entry_.isSymlinkToFolder = symlink && entry_.isFolder;
    entry_.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    entry_.lastWriteTime = fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    entry_.lastAccessTime = fileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    entry_.changeTime = fileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    entry_.attributes = attributesOf(st, entry_.name, symlink);
    return true;
}

void FindFile::close() {
    dir_.reset();
    entry_ = {};
}

bool FindFile::isOpen() const {
    return dir_ != nullptr;
}

} // namespace platform
