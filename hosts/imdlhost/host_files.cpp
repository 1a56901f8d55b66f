#include "host_files.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace imdlhost {

namespace {

int descriptorOf(std::uintptr_t file) {
    return static_cast<int>(file) - 1;
}

std::uintptr_t openFile(std::uintptr_t path, std::uintptr_t, std::uintptr_t fileOut) {
    if (path == 0 || fileOut == 0)
        return 0;
    const int fd = ::open(reinterpret_cast<const char*>(path), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    *reinterpret_cast<std::uintptr_t*>(fileOut) = static_cast<std::uintptr_t>(fd) + 1;
    return 1;
}

std::uintptr_t closeFile(std::uintptr_t file, std::uintptr_t, std::uintptr_t) {
    if (file != 0)
        ::close(descriptorOf(file));
    return 0;
}

std::uintptr_t readFile(std::uintptr_t file, std::uintptr_t buffer, std::uintptr_t count) {
    auto* out = reinterpret_cast<char*>(buffer);
    std::uintptr_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(descriptorOf(file), out + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return rastrel::kHostError;
        if (got == 0)
            break;
        done += static_cast<std::uintptr_t>(got);
    }
    return done;
}

std::uintptr_t seekFile(std::uintptr_t file, std::uintptr_t offset, std::uintptr_t) {
    const off_t at = ::lseek(descriptorOf(file), static_cast<off_t>(offset), SEEK_SET);
    return at < 0 ? rastrel::kHostError : static_cast<std::uintptr_t>(at);
}

std::uintptr_t unused(std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    return 0;
}

} // namespace

const rastrel::HostFileProcs& hostFileProcs() {
    static const rastrel::HostFileProcs procs{openFile, closeFile, readFile, unused, seekFile};
    return procs;
}

} // namespace imdlhost
