#pragma once
// kavrel-watch's work: every folder of the catalogue on a local file system
// is watched with inotify (within a budget of watches), read whole once its
// watch is in place, and from then on kept true from the events: entries
// created, changed, moved and deleted, folders moved in and out, and the
// facts of changed GIS files read again. While it holds the lock, a folder
// it read whole after watching it and has missed no event of since is
// vouched for: searches take it from the catalogue without looking. Lost
// events withdraw that until the folders are read again. Folders it cannot
// watch are marked in the catalogue with the reason.
#include "facts_refresher.h"
#include "watch_lock.h"
#include "watch_table.h"

#include "finder/catalogue.h"
#include "finder/catalogue_writer.h"
#include "finder/footprint_cache.h"

#include <sys/inotify.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace finder::watch {

struct WatchOptions {
    std::string file;           // the catalogue (the footprint cache's file)
    std::size_t maxWatches = 0; // 0: as many as the system allows others too
    std::int64_t recheckDelayNs = 1'000'000'000; // after lost events
};

class Watcher {
public:
    // Takes the lock, opens the catalogue and starts a session; none, with
    // the reason, when another watcher runs or the catalogue cannot be had.
    static std::unique_ptr<Watcher> start(const WatchOptions& options, std::string& problem);
    // Ends the session: its folders are vouched for no more.
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    int inotifyFd() const { return inotify_; }
    // Watches and reads every catalogued folder not yet watched; false when
    // more remain (called again after the events waiting).
    bool takeUpFolders(std::size_t limit);
    // Reads and applies every event waiting.
    void readEvents();
    // Events were lost (the queue overflowed): nothing is vouched for until
    // each folder has been read again.
    void eventsLost(const std::string& why);
    // Work that is due (facts, stamps, trees moved out, rereads, folders
    // new to the catalogue); milliseconds until more is due.
    int idle();

    std::size_t watched() const { return table_.size(); }
    std::size_t vouched() const;
    std::size_t unwatchable() const { return unwatchable_; }
    std::size_t watchBudget() const { return budget_; }

private:
    struct Batch;
    struct MovedOut {
        std::string path;
        std::int64_t expiresNs;
    };
    Watcher(const WatchOptions& options, WatchLock lock);

    void log(const std::string& text) const;
    void check() const; // throws when the catalogue failed
    // Watches the folder at `path`; its watch, or -1 with the catalogue told why.
    int addWatch(std::int64_t id, const std::string& path);
    void markUnwatchable(std::int64_t id, const std::string& path, const std::string& reason);
    // A catalogued folder taken up: watched, then found true.
    void takeUp(const CatalogueFolder& folder);
    // Finds the watched folder's entries true again: by their stamps while
    // its own is unchanged, else read whole; vouched for after.
    void confirm(WatchTable::Folder& folder, const CatalogueFolder& kept);
    // A folder new to the catalogue (created or moved in): watched, read
    // whole and kept, with everything below it.
    void addTree(const std::string& path);
    void forgetTree(const std::string& path);
    void fileChanged(std::int64_t folderId, const std::string& folderPath,
                     const std::string& name, std::int64_t nowNs);
    void apply(const inotify_event& event, Batch& batch);
    void finishBatch(Batch& batch);
    void restamp(std::int64_t nowNs);
    void recheck(std::int64_t nowNs);

    WatchOptions options_;
    WatchLock lock_;
    std::unique_ptr<Catalogue> catalogue_;
    std::unique_ptr<CatalogueWriter> writer_;
    std::unique_ptr<FootprintCache> cache_;
    std::unique_ptr<FactsRefresher> refresher_;
    int inotify_ = -1;
    std::int64_t session_ = 0;
    std::size_t budget_ = 0, systemLimit_ = 0;
    std::size_t unwatchable_ = 0, logged_ = 0;
    std::uint64_t fileInode_ = 0;
    WatchTable table_;
    std::map<std::uint32_t, MovedOut> movedFrom_; // folders moved away, by cookie
    std::map<int, std::int64_t> restampDue_;      // watch -> when its stamp is to be kept
    std::optional<std::int64_t> recheckDueNs_;
    std::int64_t nextTakeUpNs_ = 0, nextFileCheckNs_ = 0;
    std::int64_t appliedUpToNs_ = 0; // every event before this time is applied
};

} // namespace finder::watch
