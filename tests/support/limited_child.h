#pragma once
// Runs a piece of a test in a forked child under fixed limits: memory above
// what the process already holds, CPU seconds, and an alarm for a call that
// blocks without using the processor. The parent learns how the child ended.
#include <cstddef>
#include <cstdio>
#include <functional>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

struct ChildLimits {
    std::size_t extraBytes = std::size_t(256) << 20; // memory budget above the start
    int cpuSeconds = 20;
    int wallSeconds = 60; // a blocked call ends by SIGALRM
};

// Exit codes a limited child reports besides its body's own.
inline constexpr int kOverMemoryBudget = 120; // sanitizer builds: measured after the body

// The exit code of the child, or 128 + the signal that ended it (SIGALRM: it
// blocked; SIGXCPU or SIGKILL: it used more processor time than allowed).
inline int runLimited(const std::function<int()>& body, ChildLimits limits = {}) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const rlimit cpu{rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds + 1)};
        ::setrlimit(RLIMIT_CPU, &cpu);
        ::alarm(static_cast<unsigned>(limits.wallSeconds));
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizer reserves terabytes of address space up front, so the
        // budget is checked on the peak resident size instead.
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        int code = body();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        if (std::size_t(after.ru_maxrss - before.ru_maxrss) * 1024 > limits.extraBytes)
            code = kOverMemoryBudget;
        ::_exit(code);
#else
        long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlim_t held = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
        const rlimit memory{held + limits.extraBytes, held + limits.extraBytes};
        ::setrlimit(RLIMIT_AS, &memory);
        ::_exit(body());
#endif
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs `body` in a limited child, as the ordinary user "nobody" when the test
// runs as the superuser, whom file permissions do not bind. 100: the child
// could not give up its rights.
inline int runAsOrdinaryUser(const std::function<int()>& body, ChildLimits limits = {}) {
    return runLimited(
        [&] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                return 100;
            return body();
        },
        limits);
}

} // namespace testsupport
