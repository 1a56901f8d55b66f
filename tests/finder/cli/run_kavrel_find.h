#pragma once
// Runs the built kavrel-find with arguments and captures its exit status,
// standard output and standard error.
#include "temp_dir.h"

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace testsupport {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs kavrel-find with `args` (each quoted for the shell), capturing both
// streams; `scratch` holds the captured standard error.
inline RunResult runKavrelFind(const std::vector<std::string>& args, const TempDir& scratch) {
    std::string command = std::string(KAVREL_BUILD_DIR) + "/bin/kavrel-find";
    for (const std::string& arg : args) {
        command += " '";
        command += arg;
        command += "'";
    }
    const std::string errPath = scratch / "stderr.txt";
    command += " 2>'" + errPath + "'";
    RunResult run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = TempDir::readFile(errPath);
    return run;
}

} // namespace testsupport
