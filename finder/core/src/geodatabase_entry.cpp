// The folder listed once below its parent's descriptor; its files (not
// its subfolders, which a geodatabase has none of) summed.
#include "geodatabase_entry.h"

#include <strand32/layer.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>

namespace finder {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

bool isGeodatabase(int folderFd, std::string_view name) {
    return strand32::layerTypeOf(name) == LayerType::FileGdb &&
           strand32::isGeodatabaseFolder(folderFd, std::string(name).c_str());
}

std::optional<GeodatabaseEntry> geodatabaseEntry(int folderFd, std::string_view name) {
    if (!isGeodatabase(folderFd, name))
        return std::nullopt;
    const int fd =
        ::openat(folderFd, std::string(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    struct stat info {};
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    if (::fstat(fd, &info) != 0)
        return std::nullopt;
    GeodatabaseEntry entry;
    entry.stamp = stampOf(info);
    std::int64_t newestNs = 0;
    bool any = false;
    while (const dirent* d = ::readdir(dir.get())) {
        struct stat file {};
        if (::fstatat(fd, d->d_name, &file, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(file.st_mode))
            continue;
        entry.size += static_cast<std::uint64_t>(file.st_size);
        const std::int64_t ns =
            static_cast<std::int64_t>(file.st_mtim.tv_sec) * 1000000000 + file.st_mtim.tv_nsec;
        newestNs = any ? std::max(newestNs, ns) : ns;
        any = true;
    }
    entry.newest = timePointOf(newestNs / 1000000000, newestNs % 1000000000);
    return entry;
}

} // namespace finder
