#pragma once
// Counts the opening of every file in some folders, by any process
// (inotify), to tell which files a program read.
#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

class OpenCounter {
    // Unread events that repeat the one before are merged into it, so a file
    // opened twice in a row would count once: its reads and closes are
    // watched too, to stand between two openings.
    static constexpr uint32_t kEvents = IN_OPEN | IN_ACCESS | IN_CLOSE;

public:
    explicit OpenCounter(const std::vector<std::string>& folders)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        for (const std::string& folder : folders)
            ::inotify_add_watch(fd_, folder.c_str(), kEvents);
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
                if (event->mask & IN_Q_OVERFLOW)
                    ++counts["(events lost)"];
                else if ((event->mask & IN_OPEN) && event->len > 0)
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
