// Reading changed GIS files with strand32 and keeping their facts.
#include "facts_refresher.h"

#include <strand32/file_facts.h>

#include <fcntl.h>
#include <unistd.h>

namespace finder::watch {
namespace {

constexpr std::int64_t kKeepAfterNs = 2'100'000'000; // the cache's two seconds, and a little

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

void FactsRefresher::schedule(const std::string& path, std::int64_t dueNs) {
    if (const auto it = dueOf_.find(path); it != dueOf_.end()) {
        if (it->second >= dueNs)
            return;
        // Later than planned: taken out and put in again.
        const auto [first, last] = due_.equal_range(it->second);
        for (auto d = first; d != last; ++d) {
            if (d->second == path) {
                due_.erase(d);
                break;
            }
        }
        dueOf_.erase(it);
    }
    if (due_.size() >= kMaxWaiting)
        return;
    due_.emplace(dueNs, path);
    dueOf_.emplace(path, dueNs);
}

void FactsRefresher::changed(const std::string& path, std::int64_t nowNs) {
    schedule(path, nowNs + kKeepAfterNs);
}

std::optional<std::int64_t> FactsRefresher::nextDue() const {
    if (due_.empty())
        return std::nullopt;
    return due_.begin()->first;
}

std::optional<std::int64_t> FactsRefresher::refresh(const std::string& path,
                                                    std::int64_t nowNs) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const Descriptor dir{::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
    const auto folderStamp = stampAt(dir.fd, ".");
    const auto fileStamp = stampAt(AT_FDCWD, path);
    if (dir.fd < 0 || !folderStamp || !fileStamp)
        return std::nullopt; // gone: nothing to keep
    const std::int64_t newest = std::max(folderStamp->modifiedNs, fileStamp->modifiedNs);
    if (newest + kKeepAfterNs > nowNs)
        return newest + kKeepAfterNs;
    strand32::FileFacts facts = strand32::readFileFacts(path, {.keys = true});
    std::vector<CompanionStamp> companions;
    for (const std::string& name : facts.companions) {
        const bool absolute = !name.empty() && name.front() == '/';
        const auto stamp = stampAt(absolute ? AT_FDCWD : dir.fd, name);
        if (!stamp)
            return std::nullopt; // a companion went while it was read
        companions.push_back({name, *stamp});
    }
    // Changed while it was read: read again later.
    if (stampAt(AT_FDCWD, path) != fileStamp)
        return nowNs + kKeepAfterNs;
    cache_.store(path, *fileStamp, *folderStamp, facts, companions);
    ++read_;
    return std::nullopt;
}

std::size_t FactsRefresher::readDue(std::int64_t nowNs, std::size_t limit) {
    std::size_t count = 0;
    while (count < limit && !due_.empty() && due_.begin()->first <= nowNs) {
        const std::string path = due_.begin()->second;
        due_.erase(due_.begin());
        dueOf_.erase(path);
        ++count;
        if (const auto again = refresh(path, nowNs))
            schedule(path, *again);
    }
    if (count > 0)
        cache_.flush();
    return count;
}

} // namespace finder::watch
