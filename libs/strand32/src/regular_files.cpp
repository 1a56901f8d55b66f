// A GDAL file system under "/vsikavrel/" that passes reads of regular files
// through to the operating system and treats every other kind of entry as
// absent.
#include "regular_files.h"

#include <cpl_vsi.h>
#include <platform/regular_file_open.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strand32 {
namespace {

// GDAL keeps the pointer, so the text lives as long as the process.
constexpr char kPrefix[] = "/vsikavrel/";

FILE* fileOf(void* handle) {
    return static_cast<FILE*>(handle);
}

// Regular files and folders (GDAL asks about folders of the files it opens)
// exist; pipes, sockets and devices do not.
int statEntry(void*, const char* path, VSIStatBufL* info, int) {
    if (::stat64(path, info) != 0)
        return -1;
    if (S_ISREG(info->st_mode) || S_ISDIR(info->st_mode))
        return 0;
    errno = ENOENT;
    return -1;
}

void* openEntry(void*, const char* path, const char* access) {
    // Layers are read, never written.
    if (access == nullptr || std::strpbrk(access, "wa+") != nullptr) {
        errno = EACCES;
        return nullptr;
    }
    const int fd = openRegularFile(path);
    if (fd < 0)
        return nullptr;
    FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr)
        ::close(fd);
    return file;
}

vsi_l_offset tellEntry(void* handle) {
    const off_t at = ::ftello(fileOf(handle));
    return at < 0 ? 0 : static_cast<vsi_l_offset>(at);
}

int seekEntry(void* handle, vsi_l_offset offset, int whence) {
    return ::fseeko(fileOf(handle), static_cast<off_t>(offset), whence);
}

size_t readEntry(void* handle, void* buffer, size_t size, size_t count) {
    return std::fread(buffer, size, count, fileOf(handle));
}

int eofEntry(void* handle) {
    return std::feof(fileOf(handle));
}

int closeEntry(void* handle) {
    return std::fclose(fileOf(handle));
}

} // namespace

int openRegularFile(const char* path) {
    struct stat info {};
    const int fd = platform::openRegularFileForReading(path, info);
    if (fd < 0 && (errno == EISDIR || errno == EINVAL))
        errno = ENOENT; // GDAL reads it as "no such file"
    return fd;
}

std::string regularFilesPath(const std::string& path) {
    return kPrefix + path;
}

std::string plainPathOf(const std::string& gdalPath) {
    return gdalPath.starts_with(kPrefix) ? gdalPath.substr(std::string_view(kPrefix).size())
                                         : gdalPath;
}

void installRegularFiles() {
    // Kept for the life of the process, as the handler is.
    static VSIFilesystemPluginCallbacksStruct* const callbacks =
        VSIAllocFilesystemPluginCallbacksStruct();
    callbacks->stat = statEntry;
    callbacks->open = openEntry;
    callbacks->tell = tellEntry;
    callbacks->seek = seekEntry;
    callbacks->read = readEntry;
    callbacks->eof = eofEntry;
    callbacks->close = closeEntry;
    VSIInstallPluginHandler(kPrefix, callbacks);
}

} // namespace strand32
