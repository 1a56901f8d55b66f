// Case-insensitive look-up of companion files: one stat per candidate, and
// the folder's listing only when an earlier candidate may exist in another
// letter case.
#include "file_lookup.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>

namespace strand32 {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view name) {
    std::string text(name);
    for (char& c : text)
        c = lower(c);
    return text;
}

// The names in a folder by their lower-case form, each list in listing
// order, kept per thread while the folder is the same and unchanged: a
// search asks about many files of one folder in a row. The folder is known
// by device and inode, since "." changes with the current folder.
using NamesByLowerCase = std::unordered_map<std::string, std::vector<std::string>>;

struct FolderIndex {
    dev_t device = 0;
    ino_t inode = 0;
    struct timespec modified {};
    NamesByLowerCase names;
    // Names counted by each part before one of their dots, in lower case:
    // "a.tif.aux.xml" counts for "a", "a.tif" and "a.tif.aux".
    std::unordered_map<std::string, int> stems;
};

const FolderIndex& folderIndex(const std::string& folder) {
    using Cache = FolderIndex;
    thread_local Cache cache;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        cache = Cache{};
        return cache;
    }
    if (cache.inode == st.st_ino && cache.device == st.st_dev &&
        cache.modified.tv_sec == st.st_mtim.tv_sec && cache.modified.tv_nsec == st.st_mtim.tv_nsec)
        return cache;
    cache = Cache{st.st_dev, st.st_ino, st.st_mtim, {}, {}};
    if (std::unique_ptr<DIR, DirCloser> dir{opendir(folder.c_str())}) {
        while (dirent* entry = readdir(dir.get())) {
            std::string lower = lowered(entry->d_name);
            for (auto dot = lower.find('.', 1); dot != std::string::npos;
                 dot = lower.find('.', dot + 1))
                ++cache.stems[lower.substr(0, dot)];
            cache.names[std::move(lower)].emplace_back(entry->d_name);
        }
    }
    return cache;
}

// The folder part of a path ("." for a bare name) and where its name starts.
std::pair<std::string, std::size_t> splitFolder(std::string_view path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string_view::npos)
        return {".", 0};
    return {slash == 0 ? std::string("/") : std::string(path.substr(0, slash)), slash + 1};
}

} // namespace

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

int findCompanion(std::string_view stem, std::span<const char* const> extensions,
                  std::string* found) {
    std::vector<std::string> names;
    int exact = -1;
    for (const char* ext : extensions) {
        names.push_back(std::string(stem) + ext);
        if (exact < 0 && isRegularFile(names.back()))
            exact = static_cast<int>(names.size() - 1);
    }
    if (exact == 0) {
        if (found)
            *found = names[0];
        return 0;
    }
    // An earlier name may exist in another letter case: one listing decides,
    // the first file of the earliest name in the listing's order.
    int best = exact;
    std::string bestPath = exact >= 0 ? names[exact] : std::string();
    const auto split = splitFolder(stem); // no structured binding: the lambda below needs it
    const std::size_t nameStart = split.second;
    const NamesByLowerCase& listed = folderIndex(split.first).names;
    const int limit = best >= 0 ? best : static_cast<int>(names.size());
    for (int i = 0; i < limit; ++i) {
        const auto it = listed.find(lowered(std::string_view(names[i]).substr(nameStart)));
        if (it == listed.end())
            continue;
        const auto file =
            std::find_if(it->second.begin(), it->second.end(), [&](const std::string& n) {
                return isRegularFile(std::string(stem.substr(0, nameStart)) + n);
            });
        if (file != it->second.end()) {
            best = i;
            bestPath = std::string(stem.substr(0, nameStart)) + *file;
            break;
        }
    }
    if (best >= 0 && found)
        *found = bestPath;
    return best;
}

bool hasSideFiles(const std::string& path) {
    const auto [folder, nameStart] = splitFolder(path);
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        return false;
    const FolderIndex& index = folderIndex(folder);
    const auto it =
        index.stems.find(lowered(std::string_view(path).substr(nameStart, dot - nameStart)));
    return it != index.stems.end() && it->second > 1;
}

std::string resolveNoCase(const std::string& path) {
    if (path.empty())
        return {};
    static constexpr const char* kAsIs[] = {""};
    std::string found;
    return findCompanion(path, kAsIs, &found) >= 0 ? found : std::string();
}

} // namespace strand32
