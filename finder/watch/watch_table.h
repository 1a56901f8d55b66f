#pragma once
// The folders the watcher watches: each inotify watch with its folder's id
// in the catalogue and its path, found by either, and whole trees found by
// path (for a folder moved or deleted with everything below it). Each path
// is kept once.
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace finder::watch {

class WatchTable {
public:
    struct Folder {
        std::int64_t id = 0;
        bool vouched = false; // read whole since watched, and nothing missed since
        const std::string& path() const { return at->first; }
        std::map<std::string, int>::iterator at;
    };

    // Adds a watch, or gives one already known its folder anew.
    Folder& add(int wd, std::int64_t id, const std::string& path);
    Folder* byWd(int wd);
    // The watch of a folder; -1 for none.
    int wdOf(const std::string& path) const;
    // The watches of the folder at `path` and of every folder below it.
    std::vector<int> tree(const std::string& path) const;
    void remove(int wd);
    // The tree at `from` is now at `to`.
    void move(const std::string& from, const std::string& to);
    // Vouching withdrawn from every folder (events were lost).
    void withdrawAll();
    std::size_t size() const { return byWd_.size(); }
    const std::unordered_map<int, Folder>& folders() const { return byWd_; }

private:
    std::unordered_map<int, Folder> byWd_;
    std::map<std::string, int> byPath_;
};

} // namespace finder::watch
