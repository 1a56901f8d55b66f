// Watches by descriptor and by path.
#include "watch_table.h"

namespace finder::watch {

WatchTable::Folder& WatchTable::add(int wd, std::int64_t id, const std::string& path) {
    // A folder watched again (a watch on its inode gives the same descriptor)
    // and a path given to another watch both leave one entry.
    if (const auto old = byWd_.find(wd); old != byWd_.end())
        remove(wd);
    if (const auto other = byPath_.find(path); other != byPath_.end())
        remove(other->second);
    const auto at = byPath_.emplace(path, wd).first;
    Folder& folder = byWd_[wd];
    folder.id = id;
    folder.vouched = false;
    folder.at = at;
    return folder;
}

WatchTable::Folder* WatchTable::byWd(int wd) {
    const auto it = byWd_.find(wd);
    return it == byWd_.end() ? nullptr : &it->second;
}

int WatchTable::wdOf(const std::string& path) const {
    const auto it = byPath_.find(path);
    return it == byPath_.end() ? -1 : it->second;
}

std::vector<int> WatchTable::tree(const std::string& path) const {
    std::vector<int> wds;
    if (const int wd = wdOf(path); wd >= 0)
        wds.push_back(wd);
    const std::string prefix = path.ends_with('/') ? path : path + "/";
    for (auto it = byPath_.lower_bound(prefix);
         it != byPath_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
        wds.push_back(it->second);
    return wds;
}

void WatchTable::remove(int wd) {
    const auto it = byWd_.find(wd);
    if (it == byWd_.end())
        return;
    byPath_.erase(it->second.at);
    byWd_.erase(it);
}

void WatchTable::move(const std::string& from, const std::string& to) {
    for (const int wd : tree(from)) {
        Folder& folder = byWd_.at(wd);
        const std::string moved = to + folder.path().substr(from.size());
        const std::int64_t id = folder.id;
        const bool vouched = folder.vouched;
        add(wd, id, moved).vouched = vouched;
    }
}

void WatchTable::withdrawAll() {
    for (auto& [wd, folder] : byWd_)
        folder.vouched = false;
}

} // namespace finder::watch
