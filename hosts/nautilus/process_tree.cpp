// The processes below a process, from the parent numbers in /proc/N/stat.
#include "process_tree.h"

#include <csignal>
#include <dirent.h>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace nautilushost {

namespace {

// The parent of process `pid`, or 0 when it cannot be read. The command
// name in parentheses may hold anything, so the fields after its last ')'.
pid_t parentOf(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return 0;
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(close + 1));
    char state = 0;
    long parent = 0;
    fields >> state >> parent;
    return fields ? static_cast<pid_t>(parent) : 0;
}

} // namespace

std::vector<pid_t> descendantsOf(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    const auto closeDir = [](DIR* dir) { closedir(dir); };
    const std::unique_ptr<DIR, decltype(closeDir)> proc(opendir("/proc"), closeDir);
    if (!proc)
        return {};
    while (const dirent* entry = readdir(proc.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (const pid_t parent = parentOf(name); parent != 0)
            children.emplace(parent, static_cast<pid_t>(std::stol(name)));
    }
    std::vector<pid_t> below;
    std::vector<pid_t> waiting{root};
    while (!waiting.empty()) {
        const pid_t at = waiting.back();
        waiting.pop_back();
        const auto [first, last] = children.equal_range(at);
        for (auto it = first; it != last; ++it) {
            below.push_back(it->second);
            waiting.push_back(it->second);
        }
    }
    return below;
}

void killTree(pid_t root) {
    if (root <= 0)
        return;
    kill(root, SIGSTOP);
    for (const pid_t pid : descendantsOf(root))
        kill(pid, SIGKILL);
    kill(root, SIGKILL);
}

} // namespace nautilushost
