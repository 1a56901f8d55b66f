// The watcher's session: its lock and budget of watches, taking up the
// catalogue's folders, reading them true, and its timed work.
#include "watcher.h"

#include "file_system_kind.h"

#include "finder/folder_entries.h"

#include <strand32/layer.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace finder::watch {
namespace {

constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                        IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW |
                                        IN_EXCL_UNLINK;
constexpr std::int64_t kSecond = 1'000'000'000;
// Folders whose reasons go to the log; the others are counted there, and
// kavrel-find --catalogue-status lists them all.
constexpr std::size_t kLoggedProblems = 100;

std::size_t systemWatchLimit() {
    std::ifstream in("/proc/sys/fs/inotify/max_user_watches");
    std::size_t limit = 0;
    return in >> limit && limit > 0 ? limit : 8192;
}

struct Descriptor {
    int fd;
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

std::uint64_t inodeOf(const std::string& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_ino) : 0;
}

} // namespace

std::unique_ptr<Watcher> Watcher::start(const WatchOptions& options, std::string& problem) {
    auto lock = WatchLock::take(options.file, problem);
    if (!lock)
        return nullptr;
    std::unique_ptr<Watcher> watcher(new Watcher(options, std::move(*lock)));
    const std::int64_t today = FootprintCache::today();
    Catalogue::Opened catalogue = Catalogue::open(options.file, today);
    CatalogueWriter::Opened writer = CatalogueWriter::open(options.file, today);
    FootprintCache::Opened cache = FootprintCache::open(options.file, today);
    for (const std::string* failed : {&catalogue.problem, &writer.problem, &cache.problem}) {
        if (!failed->empty()) {
            problem = *failed;
            return nullptr;
        }
    }
    watcher->catalogue_ = std::move(catalogue.catalogue);
    watcher->writer_ = std::move(writer.writer);
    watcher->writer_->setLayerNames(
        [](std::string_view name) { return strand32::layerTypeOf(name) != LayerType::None; });
    watcher->cache_ = std::move(cache.cache);
    watcher->refresher_ = std::make_unique<FactsRefresher>(*watcher->cache_);
    watcher->inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watcher->inotify_ < 0) {
        problem = std::string("cannot start watching: ") + std::strerror(errno);
        return nullptr;
    }
    watcher->fileInode_ = inodeOf(options.file);
    watcher->session_ = wallClockNs();
    watcher->writer_->setWatcher(watcher->session_, ::getpid(), watcher->session_,
                                 static_cast<std::int64_t>(watcher->budget_));
    watcher->check();
    return watcher;
}

Watcher::Watcher(const WatchOptions& options, WatchLock lock)
    : options_(options), lock_(std::move(lock)), systemLimit_(systemWatchLimit()) {
    // Other programs of the user watch folders too: a tenth is left to them.
    budget_ = systemLimit_ - std::max<std::size_t>(systemLimit_ / 10, 1);
    if (options.maxWatches != 0)
        budget_ = std::min(budget_, options.maxWatches);
}

Watcher::~Watcher() {
    if (writer_ && writer_->failure().empty())
        writer_->setWatcher(0, 0, 0, 0);
    writer_.reset();
    if (inotify_ >= 0)
        ::close(inotify_);
}

void Watcher::log(const std::string& text) const {
    std::fprintf(stderr, "kavrel-watch: %s\n", text.c_str());
    std::fflush(stderr);
}

void Watcher::check() const {
    for (const std::string* failure :
         {&writer_->failure(), &catalogue_->failure(), &cache_->failure()}) {
        if (!failure->empty())
            throw std::runtime_error(*failure);
    }
}

std::size_t Watcher::vouched() const {
    return static_cast<std::size_t>(std::count_if(
        table_.folders().begin(), table_.folders().end(),
        [](const auto& entry) { return entry.second.vouched; }));
}

void Watcher::markUnwatchable(std::int64_t id, const std::string& path,
                              const std::string& reason) {
    writer_->setWatch(id, session_, 0, reason);
    ++unwatchable_;
    if (logged_ < kLoggedProblems)
        log("cannot watch " + path + ": " + reason);
    else if (logged_ == kLoggedProblems)
        log("more folders cannot be watched: kavrel-find --catalogue-status lists them");
    ++logged_;
}

int Watcher::addWatch(std::int64_t id, const std::string& path) {
    if (const auto remote = remoteFileSystem(path)) {
        markUnwatchable(id, path,
                        "on a network or FUSE file system (" + *remote +
                            "): changes made elsewhere send no events");
        return -1;
    }
    if (table_.size() >= budget_) {
        markUnwatchable(id, path,
                        "beyond the watcher's limit of " + std::to_string(budget_) +
                            " watches (fs.inotify.max_user_watches is " +
                            std::to_string(systemLimit_) + ")");
        return -1;
    }
    const int wd = ::inotify_add_watch(inotify_, path.c_str(), kFolderEvents);
    if (wd >= 0)
        return wd;
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
        writer_->forget(path); // gone since it was listed
        return -1;
    }
    if (error == ENOSPC) {
        budget_ = table_.size(); // the system's limit, reached with others' watches
        markUnwatchable(id, path,
                        "the system's limit of watches is reached (fs.inotify.max_user_watches "
                        "is " +
                            std::to_string(systemLimit_) + ")");
        return -1;
    }
    markUnwatchable(id, path, std::string("cannot be watched: ") + std::strerror(error));
    return -1;
}

void Watcher::takeUp(const CatalogueFolder& kept) {
    const int wd = addWatch(kept.id, kept.path);
    if (wd < 0)
        return;
    const std::int64_t watchedNs = wallClockNs();
    writer_->setWatch(kept.id, session_, watchedNs, {});
    WatchTable::Folder& folder = table_.add(wd, kept.id, kept.path);
    confirm(folder, kept);
}

void Watcher::confirm(WatchTable::Folder& folder, const CatalogueFolder& kept) {
    const std::string path = folder.path();
    const Descriptor dir(::open(path.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (dir.fd < 0 || ::fstat(dir.fd, &info) != 0)
        return; // gone: its parent's events tell
    const FileStamp stamp = stampOf(info);
    const std::int64_t startedNs = wallClockNs();
    if (stamp == kept.stamp && kept.trusted()) {
        // The same names: only their stamps may have changed.
        for (const CatalogueEntry& entry : catalogue_->entries(kept.id)) {
            auto now = describeEntry(dir.fd, entry.name);
            if (!now) {
                writer_->removeEntry(kept.id, entry.name, startedNs);
                continue;
            }
            now->seq = entry.seq;
            if (*now != entry) {
                writer_->putEntry(kept.id, *now, startedNs);
                if (strand32::layerTypeOf(entry.name) != LayerType::None)
                    refresher_->changed(path + "/" + entry.name, startedNs);
            }
        }
        writer_->markListed(kept.id, stamp, startedNs);
    } else if (auto record = readFolder(dir.fd, path)) {
        std::vector<std::string> subfolders;
        for (const CatalogueEntry& entry : record->entries) {
            if (entry.kind == EntryKind::Subfolder)
                subfolders.push_back(entry.name);
            else if (strand32::layerTypeOf(entry.name) != LayerType::None)
                refresher_->changed(path + "/" + entry.name, startedNs);
        }
        writer_->record(*record);
        // Subfolders the catalogue does not know yet are its now.
        for (const std::string& name : subfolders) {
            const std::string child = path + "/" + name;
            if (table_.wdOf(child) < 0 && !writer_->folderId(child))
                addTree(child);
        }
    }
    folder.vouched = true;
    check();
}

void Watcher::addTree(const std::string& root) {
    std::vector<std::string> waiting{root};
    while (!waiting.empty()) {
        const std::string path = std::move(waiting.back());
        waiting.pop_back();
        const Descriptor dir(::open(path.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (dir.fd < 0)
            continue;
        // Watched first, then read: nothing made in between is missed.
        const std::int64_t known = writer_->folderId(path).value_or(0);
        const int wd = addWatch(known, path);
        const std::int64_t watchedNs = wallClockNs();
        auto record = readFolder(dir.fd, path);
        if (!record)
            continue;
        const auto id = writer_->record(*record);
        if (!id)
            continue;
        if (wd >= 0) {
            writer_->setWatch(*id, session_, watchedNs, {});
            table_.add(wd, *id, path).vouched = true;
        } else if (known == 0) {
            // Not watchable: the reason goes with the folder now it is kept.
            addWatch(*id, path);
        }
        for (const CatalogueEntry& entry : record->entries) {
            const std::string child = path + "/" + entry.name;
            if (entry.kind == EntryKind::Subfolder)
                waiting.push_back(child);
            else if (strand32::layerTypeOf(entry.name) != LayerType::None)
                refresher_->changed(child, watchedNs);
        }
    }
    check();
}

void Watcher::forgetTree(const std::string& path) {
    for (const int wd : table_.tree(path)) {
        ::inotify_rm_watch(inotify_, wd);
        table_.remove(wd);
        restampDue_.erase(wd);
    }
    writer_->forget(path);
}

bool Watcher::takeUpFolders(std::size_t limit) {
    const std::vector<CatalogueFolder> folders = catalogue_->foldersNotWatchedBy(session_, limit);
    check();
    for (const CatalogueFolder& folder : folders) {
        const int wd = table_.wdOf(folder.path);
        if (wd < 0) {
            takeUp(folder);
            continue;
        }
        // Kept anew (a search found it gone and back): the same watch.
        const std::int64_t watchedNs = wallClockNs();
        writer_->setWatch(folder.id, session_, watchedNs, {});
        confirm(table_.add(wd, folder.id, folder.path), folder);
    }
    writer_->commit();
    check();
    return folders.size() < limit;
}

void Watcher::eventsLost(const std::string& why) {
    const std::int64_t nowNs = wallClockNs();
    table_.withdrawAll();
    writer_->restartWatches(session_, nowNs);
    writer_->commit();
    check();
    recheckDueNs_ = nowNs + options_.recheckDelayNs;
    log(why + ": no folder is vouched for until it has been read again");
}

void Watcher::recheck(std::int64_t nowNs) {
    // A few hundred folders at a time, so that events are still read.
    std::size_t done = 0;
    for (const auto& [wd, folder] : table_.folders()) {
        if (folder.vouched)
            continue;
        if (++done > 256) {
            recheckDueNs_ = nowNs;
            return;
        }
        const std::vector<CatalogueFolder> kept = catalogue_->folders(folder.path(), false);
        check();
        WatchTable::Folder* watched = table_.byWd(wd);
        if (kept.empty() || watched == nullptr)
            continue;
        writer_->setWatch(kept.front().id, session_, nowNs, {});
        confirm(*watched, kept.front());
    }
    recheckDueNs_.reset();
    log("every watched folder has been read again: vouched for again");
}

void Watcher::restamp(std::int64_t nowNs) {
    for (auto it = restampDue_.begin(); it != restampDue_.end();) {
        const WatchTable::Folder* folder = table_.byWd(it->first);
        if (it->second > nowNs && folder != nullptr) {
            ++it;
            continue;
        }
        std::optional<std::int64_t> again;
        if (folder != nullptr && folder->vouched) {
            if (const auto stamp = stampAt(AT_FDCWD, folder->path())) {
                writer_->markListed(folder->id, *stamp, appliedUpToNs_);
                // Trusted by searches once two seconds older than the time
                // the events were read to.
                if (appliedUpToNs_ - stamp->modifiedNs < kTrustAfterNs)
                    again = stamp->modifiedNs + kTrustAfterNs + kSecond / 10;
            }
        }
        if (again)
            (it++)->second = *again;
        else
            it = restampDue_.erase(it);
    }
}

int Watcher::idle() {
    const std::int64_t nowNs = wallClockNs();
    // Folders moved away and not seen arriving within the watched trees.
    for (auto it = movedFrom_.begin(); it != movedFrom_.end();) {
        if (it->second.expiresNs <= nowNs) {
            forgetTree(it->second.path);
            it = movedFrom_.erase(it);
        } else {
            ++it;
        }
    }
    refresher_->readDue(nowNs, 64);
    restamp(nowNs);
    if (recheckDueNs_ && *recheckDueNs_ <= nowNs)
        recheck(nowNs);
    if (nextTakeUpNs_ <= nowNs) {
        takeUpFolders(1024);
        nextTakeUpNs_ = nowNs + 2 * kSecond;
    }
    if (nextFileCheckNs_ <= nowNs) {
        // The catalogue set aside and made anew by a search: start over.
        if (inodeOf(options_.file) != fileInode_)
            throw std::runtime_error("the catalogue " + options_.file + " was made anew");
        nextFileCheckNs_ = nowNs + 2 * kSecond;
    }
    writer_->commit();
    check();
    std::int64_t next = std::min(nextTakeUpNs_, nextFileCheckNs_);
    for (const std::optional<std::int64_t> due : {refresher_->nextDue(), recheckDueNs_}) {
        if (due)
            next = std::min(next, *due);
    }
    for (const auto& [wd, due] : restampDue_)
        next = std::min(next, due);
    for (const auto& [cookie, moved] : movedFrom_)
        next = std::min(next, moved.expiresNs);
    return static_cast<int>(std::clamp<std::int64_t>((next - wallClockNs()) / 1'000'000, 0, 2000));
}

} // namespace finder::watch
