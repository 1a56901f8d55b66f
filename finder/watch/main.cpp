// kavrel-watch: keeps the catalogue of Atlion Find true for the folders it
// knows on local file systems, from inotify's events, and vouches for them
// while it runs. A user service (kavrel-watch.service); runs by hand too.
#include "watcher.h"

#include "finder/footprint_cache.h"
#include "kavrel/version.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace {

using finder::watch::Watcher;
using finder::watch::WatchOptions;

constexpr char kUsage[] = R"usage(Usage: kavrel-watch [OPTION]...
Keeps the catalogue of the folders Atlion Find has searched true while it
runs: every catalogued folder on a local file system is watched, and files
and folders created, changed, moved and deleted are written to the catalogue
at once, with what changed GIS files tell. A search under a folder the
watcher vouches for is answered from the catalogue alone. Folders on network
and FUSE file systems are not watched; neither are folders beyond the limit
of watches. kavrel-find --catalogue-status tells which and why.

  --max-watches N        use at most N watches (default: nine tenths of
                         fs.inotify.max_user_watches, the rest left to others)
  --help                 show this text
  --version              show the program's name and version

It runs until it is sent SIGTERM or SIGINT; SIGHUP makes it start over.
Exit status: 0 when stopped, 1 when it cannot run (another kavrel-watch
watches the catalogue, or the catalogue is off or cannot be opened), 2 for a
usage error.
)usage";

struct Parsed {
    WatchOptions options;
    bool help = false, version = false;
    std::string error;
};

Parsed parse(int argc, char** argv) {
    Parsed parsed;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            parsed.help = true;
        } else if (arg == "--version") {
            parsed.version = true;
        } else if (arg == "--max-watches" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long value = std::strtoull(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || value == 0 || argv[i][0] == '-')
                parsed.error = std::string("--max-watches needs a count of at least 1, not \"") +
                               argv[i] + "\"";
            parsed.options.maxWatches = static_cast<std::size_t>(value);
        } else {
            parsed.error = arg == "--max-watches" ? "--max-watches needs 1 value(s)"
                                                  : (arg.rfind('-', 0) == 0 ? "unknown option "
                                                                            : "unexpected argument ") +
                                                        arg;
        }
        if (!parsed.error.empty())
            break;
    }
    if (const char* delay = std::getenv("KAVREL_WATCH_RECHECK_MS"))
        parsed.options.recheckDelayNs = std::atoll(delay) * 1'000'000;
    return parsed;
}

// Waits on the events and the signals; the exit status once told to stop.
// Throws when the watcher fails (the caller starts over).
int watch(Watcher& watcher, int signals, bool& startOver) {
    const char* hook = std::getenv("KAVREL_WATCH_TEST_HOOK");
    const bool overflowOnUsr1 = hook != nullptr && std::strcmp(hook, "overflow-on-usr1") == 0;
    for (;;) {
        pollfd fds[] = {{watcher.inotifyFd(), POLLIN, 0}, {signals, POLLIN, 0}};
        const int timeout = watcher.idle();
        if (::poll(fds, 2, timeout) < 0)
            continue;
        if ((fds[0].revents & POLLIN) != 0)
            watcher.readEvents();
        if ((fds[1].revents & POLLIN) == 0)
            continue;
        signalfd_siginfo info{};
        if (::read(signals, &info, sizeof info) != sizeof info)
            continue;
        if (info.ssi_signo == SIGHUP) {
            startOver = true;
            return 0;
        }
        if (info.ssi_signo == SIGUSR1) {
            // A stand-in for a real overflow, for tests.
            if (overflowOnUsr1)
                watcher.eventsLost("events were lost (SIGUSR1 with KAVREL_WATCH_TEST_HOOK)");
            continue;
        }
        return 0; // SIGTERM, SIGINT
    }
}

int run(const WatchOptions& options) {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1})
        sigaddset(&set, signal);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    const int signals = ::signalfd(-1, &set, SFD_CLOEXEC);
    for (;;) {
        const auto started = std::chrono::steady_clock::now();
        std::string problem;
        try {
            std::unique_ptr<Watcher> watcher = Watcher::start(options, problem);
            if (!watcher) {
                std::fprintf(stderr, "kavrel-watch: %s\n", problem.c_str());
                return 1;
            }
            // Everything known is taken up first, a page at a time, with the
            // events of the folders already watched read in between.
            while (!watcher->takeUpFolders(256))
                watcher->readEvents();
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::fprintf(stderr,
                         "kavrel-watch: watching %zu folders of %s (%zu not watchable, at most "
                         "%zu watches); ready in %.2f s\n",
                         watcher->watched(), options.file.c_str(), watcher->unwatchable(),
                         watcher->watchBudget(), seconds);
            std::fflush(stderr);
            bool startOver = false;
            const int status = watch(*watcher, signals, startOver);
            if (!startOver)
                return status;
        } catch (const std::exception& e) {
            // The session ends (its lock with it): nothing is vouched for
            // until a new one has read the folders again.
            std::fprintf(stderr, "kavrel-watch: %s; starting over\n", e.what());
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const Parsed parsed = parse(argc, argv);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "kavrel-watch: %s\nTry 'kavrel-watch --help' for more information.\n",
                     parsed.error.c_str());
        return 2;
    }
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parsed.version) {
        std::printf("kavrel-watch %s\n", kavrel::kVersion);
        return 0;
    }
    if (!finder::FootprintCache::enabledByEnvironment()) {
        std::fprintf(stderr, "kavrel-watch: the catalogue is off (KAVREL_CACHE=off)\n");
        return 1;
    }
    WatchOptions options = parsed.options;
    options.file = finder::FootprintCache::defaultFile();
    return run(options);
}
