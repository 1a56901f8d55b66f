// The watcher's events, applied to the catalogue: entries created, changed,
// moved and deleted; folders moved within the watched trees (their rows and
// footprints move with them), moved in (read whole) and moved out or
// deleted (forgotten); watches lost; the queue overflowing.
#include "watcher.h"

#include "finder/folder_entries.h"

#include <strand32/layer.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <set>

namespace finder::watch {
namespace {

// How long a folder moved away may wait for its arrival in a watched tree.
constexpr std::int64_t kMoveWindowNs = 100'000'000;

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The name up to its first dot: "roads" of roads.shp, roads.prj and roads.shp.xml.
std::string_view stemOf(std::string_view name) {
    return name.substr(0, name.find('.'));
}

} // namespace

struct Watcher::Batch {
    // Entries to be looked at again once the events read are applied.
    std::set<std::pair<int, std::string>> files;
    // Folders whose entries changed: their stamps are kept anew.
    std::set<int> touched;
};

void Watcher::readEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    Batch batch;
    std::int64_t before = 0;
    for (;;) {
        before = wallClockNs();
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // no more: every event before `before` is read
        for (const char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            apply(*event, batch);
            p += sizeof(inotify_event) + event->len;
        }
    }
    finishBatch(batch);
    appliedUpToNs_ = before;
    writer_->commit();
    check();
}

void Watcher::apply(const inotify_event& event, Batch& batch) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
        eventsLost("events were lost (the event queue overflowed)");
        return;
    }
    WatchTable::Folder* folder = table_.byWd(event.wd);
    if (folder == nullptr)
        return;
    const std::string path = folder->path();
    const std::int64_t id = folder->id;
    const std::int64_t nowNs = wallClockNs();
    if ((event.mask & (IN_IGNORED | IN_UNMOUNT)) != 0) {
        // The watch is gone (the folder deleted or unmounted): what it would
        // have told is no longer known. The folder is taken up again when it
        // is still there.
        table_.remove(event.wd);
        restampDue_.erase(event.wd);
        writer_->setWatch(id, 0, 0, {});
        return;
    }
    if (event.len == 0 || event.name[0] == '\0') {
        // The folder itself; one whose parent is watched is told of by it.
        if ((event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0 && table_.wdOf(parentOf(path)) < 0)
            forgetTree(path);
        return;
    }
    const std::string name(event.name);
    const std::string child = joined(path, name);
    const bool isFolder = (event.mask & IN_ISDIR) != 0;
    if ((event.mask & IN_MOVED_FROM) != 0) {
        writer_->removeEntry(id, name, nowNs);
        movedFrom_[event.cookie] = MovedOut{child, isFolder ? nowNs + kMoveWindowNs : nowNs};
        batch.touched.insert(event.wd);
        return;
    }
    if ((event.mask & IN_MOVED_TO) != 0) {
        const auto from = movedFrom_.find(event.cookie);
        const bool within = from != movedFrom_.end();
        if (within) {
            // Rows of folders and footprints move along: the files are the same.
            writer_->move(from->second.path, child);
            if (isFolder)
                table_.move(from->second.path, child);
            movedFrom_.erase(from);
        }
        if (isFolder) {
            if (auto entry = describeEntry(AT_FDCWD, child)) {
                entry->name = name;
                writer_->putEntry(id, *entry, nowNs);
            }
            if (!within)
                addTree(child); // moved in from outside the watched trees
        } else {
            batch.files.emplace(event.wd, name);
        }
        batch.touched.insert(event.wd);
        return;
    }
    if ((event.mask & IN_CREATE) != 0) {
        if (isFolder) {
            if (auto entry = describeEntry(AT_FDCWD, child)) {
                entry->name = name;
                writer_->putEntry(id, *entry, nowNs);
            }
            addTree(child);
        } else {
            batch.files.emplace(event.wd, name);
        }
        batch.touched.insert(event.wd);
        return;
    }
    if ((event.mask & IN_DELETE) != 0) {
        writer_->removeEntry(id, name, nowNs);
        if (isFolder)
            forgetTree(child);
        batch.touched.insert(event.wd);
        return;
    }
    if ((event.mask & (IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB)) != 0)
        batch.files.emplace(event.wd, name);
}

void Watcher::fileChanged(std::int64_t folderId, const std::string& folderPath,
                          const std::string& name, std::int64_t nowNs) {
    const std::string path = joined(folderPath, name);
    auto entry = describeEntry(AT_FDCWD, path);
    if (!entry) {
        writer_->removeEntry(folderId, name, nowNs);
        return;
    }
    entry->name = name;
    writer_->putEntry(folderId, *entry, nowNs);
    if (entry->kind != EntryKind::File)
        return;
    if (strand32::layerTypeOf(name) != LayerType::None) {
        refresher_->changed(path, nowNs);
        return;
    }
    // A companion (roads.prj, roads.shx): the files it belongs to tell
    // something else now.
    for (const CatalogueEntry& other : catalogue_->entries(folderId)) {
        if (other.kind == EntryKind::File && stemOf(other.name) == stemOf(name) &&
            strand32::layerTypeOf(other.name) != LayerType::None)
            refresher_->changed(joined(folderPath, other.name), nowNs);
    }
}

void Watcher::finishBatch(Batch& batch) {
    const std::int64_t nowNs = wallClockNs();
    for (const auto& [wd, name] : batch.files) {
        if (const WatchTable::Folder* folder = table_.byWd(wd))
            fileChanged(folder->id, folder->path(), name, nowNs);
    }
    // Files moved away and not arriving anywhere watched are simply gone.
    for (auto it = movedFrom_.begin(); it != movedFrom_.end();) {
        if (it->second.expiresNs <= nowNs && table_.wdOf(it->second.path) < 0)
            it = movedFrom_.erase(it);
        else
            ++it;
    }
    for (const int wd : batch.touched)
        restampDue_[wd] = nowNs;
}

} // namespace finder::watch
