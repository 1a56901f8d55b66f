// Saved-search files on disk: written whole or not at all, read with every
// length tolerated, named without ever replacing an earlier save.
#include "finder/saved_search.h"

#include <platform/file_write.h>
#include <platform/paths.h>
#include <platform/regular_file_open.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace finder {
namespace {

SavedSearchFileResult failure(int error) {
    return {false, error, std::strerror(error)};
}

// Longest file name the system takes, less room for the number and the
// extension the numbering adds.
constexpr std::size_t kBaseNameLimit = 255 - 10 - kSavedSearchExtension.size();

// The number the name of `lastMatch` calls for: its text after the first
// ".", cut at the next ".", without leading letters, "@" and "!"; its
// leading integer + 1, or 1 when nothing remains.
long nextNumberAfter(std::string_view lastMatch) {
    const std::size_t dot = lastMatch.find('.');
    std::string_view rest =
        dot == std::string_view::npos ? std::string_view{} : lastMatch.substr(dot + 1);
    rest = rest.substr(0, rest.find('.'));
    const std::size_t start =
        rest.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ@!");
    if (start == std::string_view::npos)
        return 1;
    rest.remove_prefix(start);
    long number = 0;
    for (char c : rest) {
        if (c < '0' || c > '9' || number > 100000000)
            break;
        number = number * 10 + (c - '0');
    }
    return number + 1;
}

} // namespace

SavedSearchFileResult writeSavedSearchFile(const std::string& path, const SavedSearch& saved) {
    const std::vector<std::uint8_t> bytes = encodeSavedSearch(saved);
    const int error = platform::writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        platform::newFileMode());
    return error == 0 ? SavedSearchFileResult{true, 0, {}} : failure(error);
}

std::optional<SavedSearch> readSavedSearchFile(const std::string& path, int* error) {
    const auto fail = [&] {
        if (error)
            *error = errno;
        return std::nullopt;
    };
    struct stat info {};
    platform::UniqueFd fd(platform::openRegularFileForReading(path.c_str(), info));
    if (!fd)
        return fail();
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail();
        if (got == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return decodeSavedSearch(bytes.data(), bytes.size());
}

std::string savedSearchFileName(std::string_view namedText,
                                const std::vector<std::string>& existingNames) {
    std::string name = cutOnCharacter(namedText, std::min<std::size_t>(259, kBaseNameLimit));
    std::replace(name.begin(), name.end(), '*', '@');
    std::replace(name.begin(), name.end(), '?', '!');
    std::replace(name.begin(), name.end(), '/', '_');

    const auto matches = [&](const std::string& file) {
        return file.size() >= name.size() + kSavedSearchExtension.size() &&
               file.compare(0, name.size(), name) == 0 && file.ends_with(kSavedSearchExtension);
    };
    const auto last = std::find_if(existingNames.rbegin(), existingNames.rend(), matches);
    if (last == existingNames.rend())
        return name + std::string(kSavedSearchExtension);
    // The numbering can give a name already taken (a name without "." reads
    // its number from the extension; "9" sorts after "10"): the next free
    // number is taken then.
    for (long number = nextNumberAfter(*last);; ++number) {
        std::string candidate = name + std::to_string(number) + std::string(kSavedSearchExtension);
        if (std::find(existingNames.begin(), existingNames.end(), candidate) == existingNames.end())
            return candidate;
    }
}

std::string savedSearchFolder() {
    const std::string folder = platform::userDataFolder() + "/searches";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error) ? folder : std::string();
}

std::vector<std::string> folderFileNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace finder
