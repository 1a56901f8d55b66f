// Case-insensitive look-up of companion files: one stat per candidate, and
// the folder's listing only when an earlier candidate may exist in another
// letter case.
#include "file_lookup.h"

#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace strand32 {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// The names in a folder, kept per thread while the folder is the same and
// unchanged: a search asks about many files of one folder in a row. The
// folder is known by device and inode, since "." changes with the current
// folder.
const std::vector<std::string>& folderNames(const std::string& folder) {
    struct Cache {
        dev_t device = 0;
        ino_t inode = 0;
        struct timespec modified {};
        std::vector<std::string> names;
    };
    thread_local Cache cache;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        cache = Cache{};
        return cache.names;
    }
    if (cache.inode == st.st_ino && cache.device == st.st_dev &&
        cache.modified.tv_sec == st.st_mtim.tv_sec && cache.modified.tv_nsec == st.st_mtim.tv_nsec)
        return cache.names;
    cache = Cache{st.st_dev, st.st_ino, st.st_mtim, {}};
    if (std::unique_ptr<DIR, DirCloser> dir{opendir(folder.c_str())}) {
        while (dirent* entry = readdir(dir.get()))
            cache.names.emplace_back(entry->d_name);
    }
    return cache.names;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
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
    // An earlier name may exist in another letter case: one listing decides.
    int best = exact;
    std::string bestPath = exact >= 0 ? names[exact] : std::string();
    const auto slash = stem.find_last_of('/');
    const std::string folder =
        slash == std::string_view::npos ? std::string(".") : std::string(stem.substr(0, slash));
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    for (const std::string& entryName : folderNames(folder.empty() ? "/" : folder)) {
        const int limit = best >= 0 ? best : static_cast<int>(names.size());
        for (int i = 0; i < limit; ++i) {
            if (!equalsNoCase(entryName, std::string_view(names[i]).substr(nameStart)))
                continue;
            std::string path = std::string(stem.substr(0, nameStart)) + entryName;
            if (isRegularFile(path)) {
                best = i;
                bestPath = std::move(path);
            }
            break;
        }
    }
    if (best >= 0 && found)
        *found = bestPath;
    return best;
}

std::string resolveNoCase(const std::string& path) {
    if (path.empty())
        return {};
    static constexpr const char* kAsIs[] = {""};
    std::string found;
    return findCompanion(path, kAsIs, &found) >= 0 ? found : std::string();
}

} // namespace strand32
