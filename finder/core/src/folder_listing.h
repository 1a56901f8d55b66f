#pragma once
// The entries of the current folder, read once in the order the file system
// lists them, with the folder held open so that the walk can return to it
// after visiting a subfolder.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

struct ListedEntry {
    std::uint32_t offset = 0; // of the name in the listing's name buffer
    std::uint32_t length = 0;
    unsigned char type = DT_UNKNOWN;
};

class FolderListing {
public:
    // Reads the current folder; false when it cannot be opened.
    bool open();

    const std::vector<ListedEntry>& entries() const { return entries_; }
    std::string_view name(const ListedEntry& entry) const {
        return std::string_view(names_).substr(entry.offset, entry.length);
    }

    // A real folder other than "." and "..": symbolic links are never taken.
    bool isSubfolder(const ListedEntry& entry) const;
    // Status of the entry, following a symbolic link to what it names.
    bool statOf(const ListedEntry& entry, struct stat& info) const;
    // Makes the subfolder current / this folder current again.
    bool enter(const ListedEntry& entry) const;
    bool returnHere() const;
    // The open folder's own status.
    bool statOfFolder(struct stat& info) const;

private:
    struct DirCloser {
        void operator()(DIR* dir) const { closedir(dir); }
    };
    std::unique_ptr<DIR, DirCloser> dir_;
    std::string names_; // every name, each followed by a NUL
    std::vector<ListedEntry> entries_;
};

// The process's current folder as an absolute path; empty when unknown.
std::string currentFolderPath();

} // namespace finder
