#pragma once
// Runs a shell command line and gives its exit status and what it wrote to
// standard output (add "2>&1" to the command to include standard error).
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace testsupport {

struct CommandResult {
    int status; // the exit status; -1 when the command did not end normally
    std::string out;
};

inline CommandResult runCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    while (pipe && std::fgets(buf, sizeof buf, pipe))
        out += buf;
    const int status = pipe ? pclose(pipe) : -1;
    return {status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace testsupport
