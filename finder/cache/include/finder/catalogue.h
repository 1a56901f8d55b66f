#pragma once
// The catalogue, read: the folders searches have walked, each with its stamp
// and entries, kept in the footprint cache's file beside what files told.
// It answers which entries of a tree may match a name pattern (an index of
// names by their head and by their tail), which files' footprints in
// degrees meet a box (an R*Tree), and whether a running kavrel-watch vouches
// for a folder. A failure while it is read is kept as a text; a damaged file
// is set aside when the catalogue closes. Used by one thread at a time.
#include "finder/catalogue_entry.h"

#include <strand32/file_facts.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace finder {

// Where a name pattern's candidates are found without reading every name.
struct NamePatternPlan {
    enum class Use { Everything, Head, Tail };
    Use use = Use::Everything;
    // Range of the index (lower-case names, or reversed ones): from <= key < to;
    // an empty `to` has no upper end.
    std::string from, to;
};
NamePatternPlan planOfPattern(std::string_view pattern);
// A name's key in the index of tails: in lower case, reversed.
std::string tailKey(std::string_view name);

// A file as the footprint cache keeps it: its path, the stamp it was read
// with, whether keys were read, and its extents (own system, degrees).
struct KeptFootprint {
    std::string path;
    FileStamp stamp;
    bool keysRead = false;
    std::optional<strand32::Extent> extent, lonLat;
};

// The folders of the catalogue, as --catalogue-status tells them.
struct CatalogueStatus {
    std::uint64_t folders = 0, entries = 0;
    std::int64_t watchSession = 0; // of the running watcher; 0: none runs
    std::int64_t watcherPid = 0, watcherStartedNs = 0;
    std::uint64_t watched = 0, vouched = 0;
    struct Unwatched {
        std::string path, reason;
    };
    std::vector<Unwatched> unwatched; // path order
};

class Catalogue {
public:
    struct Opened {
        std::unique_ptr<Catalogue> catalogue;
        std::string problem; // why there is none
    };
    // Opens (making when missing) the cache file `file`; a file that is not
    // a sound cache is set aside and made anew.
    static Opened open(const std::string& file, std::int64_t today);
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // The file a running watcher holds locked.
    static std::string lockFile(const std::string& file);
    // The session of the kavrel-watch that holds the lock now; 0 when none.
    std::int64_t liveWatchSession();

    // Reads that follow see one state of the file until endRead().
    void beginRead();
    void endRead();
    // True when a long read does not hold writers up (the file keeps a
    // write-ahead log; without one, a reader blocks other processes' commits).
    bool readsBesideWriters() const { return logged_; }

    // The folder `path` (absolute, as the walk writes it) and, when `below`,
    // every folder under it, in path order.
    std::vector<CatalogueFolder> folders(const std::string& path, bool below);
    // At most `limit` folders after `path` in path order (all folders, a
    // page at a time), and those the watcher of `session` has not taken up.
    std::vector<CatalogueFolder> foldersAfter(const std::string& path, std::size_t limit);
    std::vector<CatalogueFolder> foldersNotWatchedBy(std::int64_t session, std::size_t limit);
    // The entries of a folder, in listing order.
    std::vector<CatalogueEntry> entries(std::int64_t folderId);
    std::optional<CatalogueEntry> entry(std::int64_t folderId, std::string_view name);
    // The subfolder entries of the folder `path` and of the folders under
    // it (and of a few beside it, whose paths sort among them): each with
    // its folder's id, its place in the listing, and the id of the folder it
    // names (0 when the catalogue does not know that folder).
    void subfolders(
        const std::string& path,
        const std::function<void(std::int64_t folder, std::int64_t seq, std::int64_t child)>& each);
    // Every entry of the catalogue whose name the plan's range holds, with its
    // folder's id (the pattern itself is for the caller to match).
    void entriesInPlan(const NamePatternPlan& plan,
                       const std::function<void(std::int64_t folder, CatalogueEntry&&)>& each);
    // Every entry of a layer type whose file was not read as it is stamped
    // now, with its folder's id.
    void unreadEntries(const std::function<void(std::int64_t folder, CatalogueEntry&&)>& each);
    // The files under `folder` whose footprint in degrees meets the box (a
    // superset: boxes are kept a little larger); with `inside`, only those
    // that may lie inside it.
    // `wideTree`: the tree holds many files, and the index of boxes is read
    // first. `wanted` sees each as kept; the facts of those it wants are read
    // from the same row (none when they are not sound), so that a file the
    // area rules out is never decoded.
    struct AreaQuery {
        std::string folder;
        strand32::Extent box;
        bool inside = false;
        bool wideTree = false;
    };
    void footprintsInArea(
        const AreaQuery& area, const std::function<bool(const KeptFootprint&)>& wanted,
        const std::function<void(KeptFootprint&&, std::optional<strand32::FileFacts>&&)>& each);
    // The facts kept for the file at `path` when they were read from the
    // file as `file` stamps it now (companions are not looked at).
    std::optional<strand32::FileFacts> factsOf(const std::string& path, const FileStamp& file,
                                               bool needKeys);
    // Newest and oldest times (ns) the folders of a tree were read whole; a
    // folder the running watcher vouches for counts as read `nowNs`.
    std::optional<std::pair<std::int64_t, std::int64_t>>
    listedRange(const std::vector<CatalogueFolder>& folders, std::int64_t nowNs);

    CatalogueStatus status();

    const std::string& failure() const { return failure_; }
    bool damaged() const { return damaged_; }

private:
    struct Statements;
    Catalogue(std::unique_ptr<Statements> s, std::string file);
    bool noteError(int code);
    // Kept for as long as the catalogue is open.
    const std::pair<strand32::SharedText, std::string>* systemOf(std::int64_t id);
    // footprintsInArea's reading of boxes that meet `meets` within `within`.
    void readArea(
        const AreaQuery& area, const strand32::Extent& meets, const strand32::Extent& within,
        const std::function<bool(const KeptFootprint&)>& wanted,
        const std::function<void(KeptFootprint&&, std::optional<strand32::FileFacts>&&)>& each);
    // The facts of the footprint columns `row` is on (select's order).
    std::optional<strand32::FileFacts> factsOfRow(sqlite3_stmt* row);

    std::unique_ptr<Statements> s_;
    std::string file_;
    std::string failure_;
    bool damaged_ = false;
    bool reading_ = false;
    bool logged_ = false;
};

// The range of folder paths strictly below `folder`: ("folder/", "folder0").
std::pair<std::string, std::string> pathsBelow(const std::string& folder);

} // namespace finder
