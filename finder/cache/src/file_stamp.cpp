// File stamps from the file system.
#include "finder/file_stamp.h"

#include <fcntl.h>

namespace finder {

FileStamp stampOf(const struct stat& info) {
    return FileStamp{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::optional<FileStamp> stampAt(int folderFd, const std::string& path) {
    struct stat info {};
    if (::fstatat(folderFd, path.c_str(), &info, 0) != 0)
        return std::nullopt;
    return stampOf(info);
}

} // namespace finder
