// Reading a folder's entries for the catalogue.
#include "finder/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>

namespace finder {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

CatalogueEntry entryOf(const std::string& name, EntryKind kind, const struct stat& info) {
    CatalogueEntry e;
    e.name = name;
    e.kind = kind;
    e.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    e.modifiedNs = stampOf(info).modifiedNs;
    e.inode = static_cast<std::uint64_t>(info.st_ino);
    return e;
}

} // namespace

std::int64_t wallClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<CatalogueEntry> describeEntry(int folderFd, const std::string& name) {
    struct stat own {};
    if (::fstatat(folderFd, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (S_ISDIR(own.st_mode))
        return entryOf(name, EntryKind::Subfolder, own);
    if (!S_ISLNK(own.st_mode))
        return entryOf(name, EntryKind::File, own);
    struct stat target {};
    if (::fstatat(folderFd, name.c_str(), &target, 0) != 0)
        return entryOf(name, EntryKind::File, own); // a dangling link is still an entry
    return entryOf(name, S_ISDIR(target.st_mode) ? EntryKind::LinkedFolder : EntryKind::File,
                   target);
}

std::optional<FolderRecord> readFolder(int folderFd, const std::string& path) {
    FolderRecord record;
    record.path = path;
    struct stat info {};
    if (::fstat(folderFd, &info) != 0)
        return std::nullopt;
    record.stamp = stampOf(info);
    record.listedNs = wallClockNs();
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::unique_ptr<DIR, DirCloser> dir(fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    while (const dirent* d = readdir(dir.get())) {
        const std::string name(d->d_name);
        if (name == "." || name == "..")
            continue;
        if (auto entry = describeEntry(fd, name)) {
            entry->seq = static_cast<std::int64_t>(record.entries.size());
            record.entries.push_back(std::move(*entry));
        }
    }
    return record;
}

} // namespace finder
