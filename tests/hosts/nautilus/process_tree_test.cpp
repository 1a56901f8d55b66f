// Ending a process tree: every process below the root is found and killed
// with it, however deep, and a root without children is ended alone.
#include "process_tree.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Alive, and neither a zombie nor dead: its state in /proc/N/stat.
bool running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' &&
           line[close + 2] != 'X';
}

pid_t startShell(const char* script) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", script, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

TEST(ProcessTree, the_whole_tree_ends_with_its_root) {
    const struct {
        const char* what;
        const char* script;
        std::size_t below; // processes below the root once it has started them
    } cases[] = {
        {"no children", "exec sleep 60", 0},
        {"two children", "sleep 60 & sleep 60 & wait", 2},
        {"a grandchild", "sh -c 'sleep 60 & wait' & wait", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const pid_t root = startShell(c.script);
        ASSERT_GT(root, 0);
        std::vector<pid_t> below;
        for (int look = 0; look < 200 && below.size() < c.below; ++look) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            below = nautilushost::descendantsOf(root);
        }
        ASSERT_EQ(below.size(), c.below);
        EXPECT_TRUE(nautilushost::descendantsOf(below.empty() ? root : below.back()).empty());
        nautilushost::killTree(root);
        int status = 0;
        ASSERT_EQ(waitpid(root, &status, 0), root);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        for (const pid_t pid : below) {
            for (int look = 0; look < 200 && running(pid); ++look)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_FALSE(running(pid)) << pid;
        }
    }
}

} // namespace
