#include "platform/spawn.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

namespace {

// Exit statuses of children reaped in the background, until waitProgram
// collects them.
struct Reaped {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<int, int> status;   // pid -> exit status (-1: did not exit normally)
    std::map<int, bool> running; // pid -> a reaper thread waits for it
};

Reaped& reaped() {
    static auto* r = new Reaped; // outlives detached reaper threads at exit
    return *r;
}

int exitStatus(int rc, int pid, int status) {
    return (rc == pid && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

void reap(int pid) {
    int status = 0;
    int rc;
    do
        rc = ::waitpid(pid, &status, 0);
    while (rc < 0 && errno == EINTR);
    Reaped& r = reaped();
    std::lock_guard lock(r.mutex);
    r.running.erase(pid);
    r.status[pid] = exitStatus(rc, pid, status);
    r.changed.notify_all();
}

// Children that got no reaper thread are collected whenever one has ended.
void sweepUnwatched(Reaped& r) {
    for (auto it = r.running.begin(); it != r.running.end();) {
        int status = 0;
        if (!it->second && ::waitpid(it->first, &status, WNOHANG) == it->first) {
            r.status[it->first] = exitStatus(it->first, it->first, status);
            it = r.running.erase(it);
        } else {
            ++it;
        }
    }
}

std::string errorText(int err) {
    char buffer[256] = {};
    return ::strerror_r(err, buffer, sizeof buffer);
}

// posix_spawn attributes: default signal handling and an empty signal mask
// in the child, whatever this process blocks or ignores.
class SpawnAttributes {
public:
    SpawnAttributes() {
        ::posix_spawnattr_init(&attr_);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGCHLD);
        ::posix_spawnattr_setsigmask(&attr_, &none);
        ::posix_spawnattr_setsigdefault(&attr_, &defaults);
        ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
};

} // namespace

SpawnResult spawnProgram(const std::vector<std::string>& argv) {
    SpawnResult result;
    if (argv.empty() || argv.front().empty()) {
        result.error = ENOENT;
        result.errorText = errorText(ENOENT);
        return result;
    }
    try {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);

        SpawnAttributes attributes;
        pid_t pid = -1;
        Reaped& r = reaped();
        // Held across the spawn, so the reaper cannot record the child before
        // it is known to be running.
        std::unique_lock lock(r.mutex);
        sweepUnwatched(r);
        const int err =
            ::posix_spawn(&pid, args[0], nullptr, attributes.get(), args.data(), environ);
        if (err != 0) {
            result.error = err;
            result.errorText = errorText(err);
            return result;
        }
        r.status.erase(pid); // a status left by an earlier child with this pid
        result.started = true;
        result.pid = pid;
        try {
            std::thread(reap, pid).detach();
            r.running[pid] = true;
        } catch (const std::system_error&) {
            r.running[pid] = false; // no thread to spare: swept later
        }
    } catch (const std::exception&) {
        result.error = ENOMEM;
        result.errorText = errorText(ENOMEM);
    }
    return result;
}

int waitProgram(int pid) {
    Reaped& r = reaped();
    std::unique_lock lock(r.mutex);
    if (!r.running.count(pid) && !r.status.count(pid))
        return -1; // not ours
    if (auto it = r.running.find(pid); it != r.running.end() && !it->second) {
        int status = 0;
        const int rc = ::waitpid(pid, &status, 0);
        r.running.erase(it);
        r.status[pid] = exitStatus(rc, pid, status);
    }
    r.changed.wait(lock, [&] { return r.status.count(pid) != 0; });
    const int status = r.status[pid];
    r.status.erase(pid);
    return status;
}

} // namespace platform
