// Hives under stress from outside the process: two processes writing at once,
// processes killed while they write, and writes that fail (a full disk, a
// read-only folder, a file-size limit) leave a hive that parses and holds
// whole values only, the earlier ones when a write fails.
#include "platform/registry.h"

#include "hive_env.h"

#include <algorithm>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace platform;
using testsupport::HiveEnv;
using testsupport::TempDir;

constexpr const char* kKey = "Software\\Quorvane Geo\\Morvane Find";
const std::string kHive = "REGEDIT4\n\n[Software\\Quorvane Geo\\Morvane Find]\n"
                          "\"Options\"=dword:00000000\n\"Shared\"=\"earlier\"\n";

// A value long enough that a torn write would show.
std::string longText(char c) {
    return std::string(3000, c);
}

long setText(const char* name, const std::string& text) {
    RegistryKey key;
    if (const long error = key.open(Hive::LocalMachine, kKey, RegAccess::SetValue))
        return error;
    return key.setValue(name, REG_SZ, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

std::string queryText(const char* name) {
    RegistryKey key;
    std::string text(4096, '\0');
    std::uint32_t size = static_cast<std::uint32_t>(text.size()), type = 0;
    if (key.open(Hive::LocalMachine, kKey, RegAccess::Query) != 0 ||
        key.queryValue(name, &type, text.data(), &size) != 0 || type != REG_SZ || size == 0)
        return "<failed>";
    text.resize(size - 1);
    return text;
}

// Runs `body` in a child process, which exits with what it returns.
pid_t inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

// The exit code of a child, or 128 + the signal that ended it.
int waitFor(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Two writers started together (a pipe holds them back until it closes),
// each setting the shared value to its own text over and over.
std::pair<pid_t, pid_t> startWriters(int rounds) {
    int gate[2];
    if (::pipe(gate) != 0)
        return {-1, -1};
    auto writer = [&](char letter) {
        return [&, letter] {
            ::close(gate[1]);
            char c;
            (void)::read(gate[0], &c, 1);
            for (int i = 0; rounds < 0 || i < rounds; ++i)
                if (setText("Shared", longText(letter)) != 0)
                    return 1;
            return 0;
        };
    };
    const pid_t a = inChild(writer('A'));
    const pid_t b = inChild(writer('B'));
    ::close(gate[0]);
    ::close(gate[1]);
    return {a, b};
}

TEST(hive_store, two_processes_writing_at_once_leave_one_of_their_values_whole) {
    HiveEnv env(kHive);
    const auto [a, b] = startWriters(25);
    EXPECT_EQ(waitFor(a), 0);
    EXPECT_EQ(waitFor(b), 0);
    const std::string shared = queryText("Shared");
    EXPECT_TRUE(shared == longText('A') || shared == longText('B')) << shared.substr(0, 40);
    EXPECT_EQ(setText("Options", "after"), 0); // a hive with broken lines refuses writes
}

TEST(hive_store, processes_killed_while_writing_leave_a_hive_with_a_whole_value) {
    HiveEnv env(kHive);
    // Killed at ten different moments of their writing.
    for (int round = 0; round < 10; ++round) {
        const auto [a, b] = startWriters(-1);
        ::usleep(static_cast<useconds_t>(20000 + 7919 * round));
        ::kill(a, SIGKILL);
        ::kill(b, SIGKILL);
        EXPECT_EQ(waitFor(a), 128 + SIGKILL);
        EXPECT_EQ(waitFor(b), 128 + SIGKILL);
        const std::string shared = queryText("Shared");
        ASSERT_TRUE(shared == "earlier" || shared == longText('A') || shared == longText('B'))
            << "round " << round << ": " << shared.substr(0, 40);
    }
    EXPECT_EQ(setText("Options", "after"), 0);
}

// The names in the hive's folder that are temporary files of a write.
std::vector<std::string> tempFilesBeside(const std::string& hive) {
    const std::filesystem::path path(hive);
    const std::string prefix = path.filename().string() + ".tmp-";
    std::vector<std::string> temps;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path()))
        if (entry.path().filename().string().starts_with(prefix))
            temps.push_back(entry.path().string());
    std::sort(temps.begin(), temps.end());
    return temps;
}

void makeOld(const std::string& path) {
    const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), anHourAgo, AT_SYMLINK_NOFOLLOW);
}

// Writers killed between creating their temporary file and renaming it leave
// it behind; the next write removes those no live writer can own, and
// nothing else.
TEST(hive_store, temporary_files_of_killed_writers_are_removed_by_a_later_write) {
    HiveEnv env(kHive);
    for (int round = 0; round < 20 && tempFilesBeside(env.systemPath()).empty(); ++round) {
        const auto [a, b] = startWriters(-1);
        ::usleep(static_cast<useconds_t>(20000 + 7919 * round));
        ::kill(a, SIGKILL);
        ::kill(b, SIGKILL);
        waitFor(a);
        waitFor(b);
    }
    const std::vector<std::string> left = tempFilesBeside(env.systemPath());
    ASSERT_FALSE(left.empty()) << "no writer was killed between its two steps";
    for (const std::string& temp : left)
        makeOld(temp);

    const struct {
        const char* name;
        bool old, folder, stays;
    } others[] = {
        {"system.reg.tmp-Ab12Cd", true, false, false}, // another killed writer's
        {"system.reg.tmp-Ef34Gh", false, false, true}, // young: a writer may be on it
        {"user.reg.tmp-Ij56Kl", true, false, true},    // the other hive's, for its writes
        {"system.reg.backup", true, false, true},
        {"system.reg.tmp-Mn78Op9", true, false, true},
        {"system.reg.tmp-Qr90St", true, true, true},
    };
    for (const auto& o : others) {
        const std::string path = env.dir() / o.name;
        if (o.folder)
            env.dir().makeFolder(o.name);
        else
            env.dir().writeFile(o.name, "kept");
        if (o.old)
            makeOld(path);
    }
    EXPECT_EQ(setText("Options", "after"), 0);
    for (const std::string& temp : left)
        EXPECT_FALSE(std::filesystem::exists(temp)) << temp;
    for (const auto& o : others)
        EXPECT_EQ(std::filesystem::exists(env.dir() / o.name), o.stays) << o.name;
    EXPECT_EQ(queryText("Options"), "after");
}

// Faults put on the folder `disk` after the hive was written into it. They
// run in a child with its own mount namespace; false when the system does not
// allow them there (no right to mount).
bool mountSmallDisk(const std::string& disk) {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=16k") == 0;
}

bool fillDisk(const std::string& disk) {
    const std::string filler(1024, 'x');
    FILE* file = std::fopen((disk + "/filler").c_str(), "wb");
    if (!file)
        return false;
    while (std::fwrite(filler.data(), 1, filler.size(), file) == filler.size() &&
           std::fflush(file) == 0) {
    }
    std::fclose(file);
    return true;
}

bool makeReadOnly(const std::string& disk) {
    return ::mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool limitFileSize(const std::string&) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{kHive.size() + 100, kHive.size() + 100};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

TEST(hive_store, a_write_that_fails_keeps_the_earlier_hive_and_leaves_no_temporary_file) {
    struct Case {
        const char* fault;
        bool mounted; // the folder is a small tmpfs of its own
        std::function<bool(const std::string&)> apply;
    } cases[] = {
        {"full disk", true, fillDisk},
        {"read-only folder", true, makeReadOnly},
        {"file-size limit", false, limitFileSize},
    };
    constexpr int kNotAllowed = 77;
    for (const Case& c : cases) {
        TempDir dir;
        const std::string disk = dir.makeFolder("disk");
        const pid_t child = inChild([&] {
            if (c.mounted && !mountSmallDisk(disk))
                return kNotAllowed;
            const std::string hive = disk + "/system.reg";
            ::setenv("KAVREL_SYSTEM_HIVE", hive.c_str(), 1);
            dir.writeFile("disk/system.reg", kHive);
            // One write before the fault, so the lock file exists.
            if (setText("Options", "x") != 0 || !c.apply(disk))
                return 10;
            if (setText("Shared", longText('N')) == ERROR_SUCCESS)
                return 1;
            if (TempDir::readFile(hive).find("\"Options\"=\"x\"") == std::string::npos ||
                queryText("Shared") != "earlier")
                return 2;
            for (const auto& entry : std::filesystem::directory_iterator(disk)) {
                const std::string name = entry.path().filename();
                if (name != "system.reg" && name != "system.reg.lock" && name != "filler")
                    return 3;
            }
            return 0;
        });
        const int code = waitFor(child);
        if (code == kNotAllowed) {
            std::cerr << "not tested here (mounting not allowed): " << c.fault << '\n';
            continue;
        }
        // 1: the write succeeded; 2: the hive changed; 3: a temporary file was left.
        EXPECT_EQ(code, 0) << c.fault;
    }
}

} // namespace
