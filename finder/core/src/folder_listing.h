#pragma once
// The entries of one folder, read once in the order the file system lists
// them, with the folder held open by a descriptor: its entries are looked
// at and its subfolders opened relative to it, never through the process's
// current folder.
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
    std::int32_t known = -1; // index of its status when given with it (adopt)
};

// A folder reached but not yet listed: held by a path descriptor, which
// needs no right to list it.
class FolderDescriptor {
public:
    FolderDescriptor() = default;
    explicit FolderDescriptor(int fd) : fd_(fd) {}
    ~FolderDescriptor();
    FolderDescriptor(FolderDescriptor&& other) noexcept;
    FolderDescriptor& operator=(FolderDescriptor&& other) noexcept;

    int fd() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    // The folder `path` names, following a symbolic link (the start of a walk).
    static FolderDescriptor ofPath(const std::string& path);
    // The subfolder `name` of `parent`; a symbolic link is never taken, or
    // the walk could leave the tree or go round in a cycle.
    static FolderDescriptor below(int parent, const char* name);
    // True when the folder may be searched (entered): its entries can be
    // looked up.
    bool searchable() const;

private:
    int fd_ = -1;
};

class FolderListing {
public:
    // Reads the folder `folder` holds; false when it cannot be listed.
    bool open(const FolderDescriptor& folder);
    // Takes the folder's entries from what is known of it instead of
    // listing it: `folder` (which must outlive the listing) is used for
    // looking entries up, and add() gives the entries, each with its status
    // when that is known too.
    void adopt(const FolderDescriptor& folder);
    void add(std::string_view name, unsigned char type, const struct stat* known = nullptr);

    const std::vector<ListedEntry>& entries() const { return entries_; }
    std::string_view name(const ListedEntry& entry) const {
        return std::string_view(names_).substr(entry.offset, entry.length);
    }
    const char* cName(const ListedEntry& entry) const { return names_.c_str() + entry.offset; }
    // The listed folder's descriptor, valid while the listing lives.
    int fd() const { return dir_ ? dirfd(dir_.get()) : borrowed_; }
    // The names listed, but "." and "..".
    std::vector<std::string> names() const;

    // A real folder other than "." and "..": symbolic links are never taken.
    bool isSubfolder(const ListedEntry& entry) const;
    // Status of the entry, following a symbolic link to what it names.
    bool statOf(const ListedEntry& entry, struct stat& info) const;
    // The open folder's own status.
    bool statOfFolder(struct stat& info) const;

private:
    struct DirCloser {
        void operator()(DIR* dir) const { closedir(dir); }
    };
    std::unique_ptr<DIR, DirCloser> dir_;
    int borrowed_ = -1; // of an adopted listing
    std::string names_; // every name, each followed by a NUL
    std::vector<ListedEntry> entries_;
    std::vector<struct stat> known_;
};

// The absolute path of the folder `path` names, with its links resolved (as
// the folder's own path); `path` made absolute when that cannot be had.
std::string absoluteFolderPath(const std::string& path);

} // namespace finder
