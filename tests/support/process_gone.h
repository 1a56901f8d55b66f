#pragma once
// Waits until a process number has no entry left in /proc (not even a
// zombie's), polling every 10 ms; true when that happened within `wait`.
#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

namespace testsupport {

inline bool processGone(int pid, std::chrono::milliseconds wait = std::chrono::seconds(3)) {
    const std::string entry = "/proc/" + std::to_string(pid);
    const auto until = std::chrono::steady_clock::now() + wait;
    while (::access(entry.c_str(), F_OK) == 0) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace testsupport
