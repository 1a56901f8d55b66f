#pragma once
// Runs kavrel-find from the build tree as a shell would, with a footprint
// cache in a scratch folder of the test's, and captures what it prints.
#include "temp_dir.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace clitest {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// The command line of kavrel-find with `args` (each quoted for the shell),
// the cache in `scratch`/cache unless `env` (variable assignments, given
// after that one) says otherwise, standard error to `errFile`.
inline std::string kavrelFindCommand(const std::vector<std::string>& args,
                                     const testsupport::TempDir& scratch, const std::string& env,
                                     const std::string& errFile) {
    std::string command = "XDG_CACHE_HOME='" + scratch / "cache" + "' " + env + " " +
                          std::string(KAVREL_BUILD_DIR) + "/bin/kavrel-find";
    for (const std::string& arg : args) {
        command += " '";
        command += arg;
        command += "'";
    }
    return command + " 2>'" + errFile + "'";
}

inline std::string readAll(FILE* pipe) {
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    return out;
}

inline int exitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline RunResult runKavrelFind(const std::vector<std::string>& args,
                               const testsupport::TempDir& scratch, const std::string& env = {}) {
    const std::string errPath = scratch / "stderr.txt";
    RunResult run;
    FILE* pipe = ::popen(kavrelFindCommand(args, scratch, env, errPath).c_str(), "r");
    if (pipe == nullptr)
        return run;
    run.out = readAll(pipe);
    run.status = exitStatus(::pclose(pipe));
    run.err = testsupport::TempDir::readFile(errPath);
    return run;
}

// The arguments `args` followed by `more`.
inline std::vector<std::string> with(std::vector<std::string> args,
                                     const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The lines of a text, sorted.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    std::sort(result.begin(), result.end());
    return result;
}

} // namespace clitest
