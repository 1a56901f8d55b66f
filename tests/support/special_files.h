#pragma once
// Entries that are not regular files, made under names of data files: a
// named pipe nobody writes to, a bound local socket, a symbolic link to a
// device or to a folder.
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace testsupport {

inline std::string makeFifo(const std::string& path) {
    if (::mkfifo(path.c_str(), 0644) != 0)
        throw std::runtime_error("cannot make the pipe " + path);
    return path;
}

// The socket's file stays after its descriptor is closed.
inline std::string makeSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        throw std::runtime_error("socket path too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!bound)
        throw std::runtime_error("cannot bind the socket " + path);
    return path;
}

inline std::string makeLink(const std::string& target, const std::string& path) {
    if (::symlink(target.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot link " + path);
    return path;
}

} // namespace testsupport
