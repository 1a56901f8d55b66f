// Case-insensitive look-up of companion files: one stat per candidate, and
// one listing of the folder only when none exists as spelt.
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

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

int findCompanion(std::string_view stem, std::initializer_list<const char*> extensions,
                  std::string* found) {
    std::vector<std::string> names;
    int exact = -1;
    for (const char* ext : extensions) {
        names.push_back(std::string(stem) + ext);
        if (exact < 0 && isFile(names.back()))
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
    if (std::unique_ptr<DIR, DirCloser> dir{opendir(folder.empty() ? "/" : folder.c_str())}) {
        while (dirent* entry = readdir(dir.get())) {
            const std::string_view entryName(entry->d_name);
            const int limit = best >= 0 ? best : static_cast<int>(names.size());
            for (int i = 0; i < limit; ++i) {
                if (!equalsNoCase(entryName, std::string_view(names[i]).substr(nameStart)))
                    continue;
                std::string path = std::string(stem.substr(0, nameStart)) + std::string(entryName);
                if (isFile(path)) {
                    best = i;
                    bestPath = std::move(path);
                }
                break;
            }
        }
    }
    if (best >= 0 && found)
        *found = bestPath;
    return best;
}

std::string resolveNoCase(const std::string& path) {
    if (path.empty())
        return {};
    std::string found;
    return findCompanion(path, {""}, &found) >= 0 ? found : std::string();
}

} // namespace strand32
