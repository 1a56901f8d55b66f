#pragma once
// Opening a file for reading only when it is a regular file. A folder, pipe,
// device or socket named like a data file is never opened (some devices act
// on open), and should one be swapped in between the look and the open, the
// opened file is refused. O_NONBLOCK keeps a pipe swapped in from waiting
// for a writer; the descriptor returned blocks as usual. Header only, for
// libraries that link no platform code.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// A descriptor of the regular file `path` names (links followed), with its
// status in `info`; otherwise -1 and errno: EISDIR for a folder, EINVAL for
// anything else that is not a regular file, else the system's error.
inline int openRegularFileForReading(const char* path, struct stat& info) {
    struct stat seen {};
    if (::stat(path, &seen) != 0)
        return -1;
    if (!S_ISREG(seen.st_mode)) {
        errno = S_ISDIR(seen.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode) || info.st_ino != seen.st_ino || info.st_dev != seen.st_dev)
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

} // namespace platform
