#pragma once
// Counts the openings of the files in some folders, by any process
// (inotify), to show that a program opens a file no more often than it must.
#include <map>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

class OpenCounter {
public:
    explicit OpenCounter(const std::vector<std::string>& folders)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        for (const std::string& folder : folders)
            ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN);
    }
    ~OpenCounter() { ::close(fd_); }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;

    // Openings by file name since the last call.
    std::map<std::string, int> take() {
        std::map<std::string, int> counts;
        alignas(inotify_event) char buffer[1 << 16];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0)
                    ++counts[event->name];
                at += sizeof(inotify_event) + event->len;
            }
        }
        return counts;
    }

private:
    int fd_;
};

} // namespace testsupport
