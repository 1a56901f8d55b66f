#pragma once
// Starting a program with an argument vector (posix_spawn, no shell), so
// paths with blanks arrive as one argument each.
#include <string>
#include <vector>

namespace platform {

struct SpawnResult {
    bool started = false;
    int pid = -1;
    int error = 0;         // errno when not started
    std::string errorText; // the system's text for that error
};

// argv[0] is the program path. The child is not waited for; it is reaped
// in the background so no zombie stays.
SpawnResult spawnProgram(const std::vector<std::string>& argv);

// Waits for a started child (for tests); returns its exit status or -1.
int waitProgram(int pid);

} // namespace platform
