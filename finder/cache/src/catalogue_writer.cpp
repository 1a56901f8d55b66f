// Writing the catalogue: folder listings, the watcher's changes, folders
// forgotten and moved, and who watches what.
#include "finder/catalogue_writer.h"

#include "cache_database.h"
#include "statement_scope.h"

#include "finder/catalogue.h"
#include "finder/footprint_cache.h"

#include <functional>
#include <set>

namespace finder {

namespace {

// Whether an entry (?9: of a layer type) has no footprint read from the
// file as it stamps it (?10: its full path).
constexpr char kUnread[] = "?9 AND NOT EXISTS (SELECT 1 FROM footprint WHERE path = ?10 AND "
                           "inode = ?8 AND size = ?6 AND modified = ?7)";

std::string joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// Runs `exact` for `path`, then `below` for the paths under it, calling
// `row` with each row; SQLITE_DONE or the first failure's code.
int eachRowAtAndBelow(sqlite3_stmt* exact, sqlite3_stmt* below, const std::string& path,
                      const std::function<void(const StatementScope&)>& row) {
    {
        StatementScope q(exact);
        q.text(1, path);
        if (const int code = q.eachRow([&] { row(q); }); code != SQLITE_DONE)
            return code;
    }
    const auto [from, to] = pathsBelow(path);
    StatementScope q(below);
    q.text(1, from).text(2, to);
    return q.eachRow([&] { row(q); });
}

} // namespace

struct CatalogueWriter::Statements : CacheConnection {
    StatementPtr folderPath, folderByPath, upsertFolder, subfolderNames, deleteEntries, insertEntry,
        putEntry, removeEntry, folderUpdated, folderExact, foldersBelow, deleteFolder, renameFolder,
        footprintsBelow, footprintExact, deleteFootprint, renameFootprint, touch, setWatch,
        restartWatches, markListed, setWatcher, clearWatcher;
};

CatalogueWriter::Opened CatalogueWriter::open(const std::string& file, std::int64_t today) {
    Opened opened;
    auto s = connectAs<Statements>(file, today - FootprintCache::kKeepDays, opened.problem);
    if (!s)
        return opened;
    // Entries go to three indexes at places far apart: a batch finds the
    // pages it writes again in a larger cache (32 MiB at most).
    sqlite3_exec(s->db.get(), "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    using Prepared = std::pair<std::string, StatementPtr*>;
    for (const auto& [sql, out] : std::initializer_list<Prepared>{
             std::pair{"SELECT id, updated FROM folder WHERE path = ?1", &s->folderByPath},
             std::pair{"SELECT path FROM folder WHERE id = ?1", &s->folderPath},
             std::pair{"INSERT INTO folder (path, device, inode, size, modified, listed, updated, "
                       "seen) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?6, ?7) ON CONFLICT (path) DO UPDATE "
                       "SET device = excluded.device, inode = excluded.inode, size = "
                       "excluded.size, modified = excluded.modified, listed = excluded.listed, "
                       "updated = excluded.updated, seen = excluded.seen RETURNING id",
                       &s->upsertFolder},
             std::pair{"SELECT name FROM entry WHERE folder = ?1 AND kind = 1", &s->subfolderNames},
             std::pair{"DELETE FROM entry WHERE folder = ?1", &s->deleteEntries},
             // ?9: of a layer type; ?10: the entry's full path.
             std::pair{"INSERT OR REPLACE INTO entry (folder, name, tail, seq, kind, size, "
                       "modified, inode, unread) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, " +
                           std::string(kUnread) + ")",
                       &s->insertEntry},
             // A new entry goes after the others; one already kept keeps its place.
             std::pair{"INSERT INTO entry (folder, name, tail, seq, kind, size, modified, inode, "
                       "unread) VALUES (?1, ?2, ?3, (SELECT coalesce(max(seq), -1) + 1 FROM entry "
                       "WHERE folder = ?1), ?5, ?6, ?7, ?8, " +
                           std::string(kUnread) +
                           ") ON CONFLICT (folder, name) DO UPDATE SET kind = excluded.kind, size "
                           "= excluded.size, modified = excluded.modified, inode = "
                           "excluded.inode, unread = excluded.unread",
                       &s->putEntry},
             std::pair{"DELETE FROM entry WHERE folder = ?1 AND name = ?2", &s->removeEntry},
             std::pair{"UPDATE folder SET updated = max(updated, ?2) WHERE id = ?1",
                       &s->folderUpdated},
             std::pair{"SELECT id, path FROM folder WHERE path = ?1", &s->folderExact},
             std::pair{"SELECT id, path FROM folder WHERE path > ?1 AND path < ?2",
                       &s->foldersBelow},
             std::pair{"DELETE FROM folder WHERE id = ?1", &s->deleteFolder},
             std::pair{"UPDATE folder SET path = ?2 WHERE id = ?1", &s->renameFolder},
             std::pair{"SELECT path FROM footprint WHERE path > ?1 AND path < ?2",
                       &s->footprintsBelow},
             std::pair{"SELECT path FROM footprint WHERE path = ?1", &s->footprintExact},
             std::pair{"DELETE FROM footprint WHERE path = ?1", &s->deleteFootprint},
             std::pair{"UPDATE footprint SET path = ?2 WHERE path = ?1", &s->renameFootprint},
             std::pair{"UPDATE folder SET seen = ?2 WHERE id = ?1 AND seen < ?2", &s->touch},
             std::pair{"UPDATE folder SET watch_session = ?2, watched = ?3, watch_problem = "
                       "nullif(?4, '') WHERE id = ?1",
                       &s->setWatch},
             std::pair{"UPDATE folder SET watched = ?2 WHERE watch_session = ?1 AND "
                       "watch_problem IS NULL",
                       &s->restartWatches},
             std::pair{"UPDATE folder SET device = ?2, inode = ?3, size = ?4, modified = ?5, "
                       "listed = ?6, updated = max(updated, ?6) WHERE id = ?1",
                       &s->markListed},
             std::pair{"INSERT OR REPLACE INTO watcher (id, session, pid, started, watch_limit) "
                       "VALUES (1, ?1, ?2, ?3, ?4)",
                       &s->setWatcher},
             std::pair{"DELETE FROM watcher", &s->clearWatcher},
         }) {
        if (prepareStatement(s->db.get(), sql, *out) != SQLITE_OK) {
            opened.problem =
                "cannot write the catalogue " + file + ": " + sqlite3_errmsg(s->db.get());
            return opened;
        }
    }
    opened.writer.reset(new CatalogueWriter(std::move(s), file, today));
    return opened;
}

CatalogueWriter::CatalogueWriter(std::unique_ptr<Statements> s, std::string file,
                                 std::int64_t today)
    : s_(std::move(s)), file_(std::move(file)), today_(today) {}

CatalogueWriter::~CatalogueWriter() {
    commit();
    if (damaged_) {
        s_.reset();
        setAside(file_);
    }
}

bool CatalogueWriter::isLayerFile(const CatalogueEntry& entry) const {
    return entry.kind == EntryKind::File && isLayer_ && isLayer_(entry.name);
}

void CatalogueWriter::noteError(int code) {
    if (isDamage(code))
        damaged_ = true;
    if (failure_.empty())
        failure_ = "the footprint cache's catalogue " + file_ + " failed: " + sqlite3_errstr(code);
}

bool CatalogueWriter::run(sqlite3_stmt* statement) {
    const int code = runOnce(statement);
    if (code == SQLITE_DONE || code == SQLITE_ROW)
        return true;
    noteError(code);
    return false;
}

bool CatalogueWriter::stepDone(StatementScope& q) {
    const int code = q.step();
    if (code == SQLITE_DONE)
        return true;
    noteError(code);
    return false;
}

bool CatalogueWriter::begin() {
    if (!failure_.empty())
        return false;
    if (!inTransaction_)
        inTransaction_ = run(s_->begin.get());
    return inTransaction_;
}

void CatalogueWriter::wrote(std::size_t rows) {
    rows_ += rows;
    if (rows_ >= kBatchRows)
        commit();
}

void CatalogueWriter::commit() {
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    rows_ = 0;
    if (!run(s_->commit.get()))
        run(s_->rollback.get());
}

std::vector<std::pair<std::int64_t, std::string>> CatalogueWriter::tree(const std::string& path) {
    std::vector<std::pair<std::int64_t, std::string>> folders;
    const int code = eachRowAtAndBelow(
        s_->folderExact.get(), s_->foldersBelow.get(), path, [&](const StatementScope& q) {
            folders.emplace_back(q.integerAt(0), std::string(q.textAt(1)));
        });
    if (code != SQLITE_DONE)
        noteError(code);
    return folders;
}

std::optional<std::int64_t> CatalogueWriter::record(const FolderRecord& folder) {
    if (!begin())
        return std::nullopt;
    {
        StatementScope q(s_->folderByPath.get());
        q.text(1, folder.path);
        const int code = q.step();
        if (code == SQLITE_ROW && q.integerAt(1) > folder.listedNs)
            return std::nullopt; // what is kept is newer
        if (code != SQLITE_ROW && code != SQLITE_DONE) {
            noteError(code);
            return std::nullopt;
        }
    }
    std::int64_t id = 0;
    {
        StatementScope q(s_->upsertFolder.get());
        q.text(1, folder.path);
        q.integer(2, static_cast<std::int64_t>(folder.stamp.device));
        q.integer(3, static_cast<std::int64_t>(folder.stamp.inode));
        q.integer(4, static_cast<std::int64_t>(folder.stamp.size));
        q.integer(5, folder.stamp.modifiedNs).integer(6, folder.listedNs).integer(7, today_);
        const int code = q.step();
        if (code != SQLITE_ROW) {
            noteError(code);
            return std::nullopt;
        }
        id = q.integerAt(0);
    }
    std::set<std::string> formerSubfolders;
    {
        StatementScope q(s_->subfolderNames.get());
        q.integer(1, id);
        if (const int code = q.eachRow([&] { formerSubfolders.emplace(q.textAt(0)); });
            code != SQLITE_DONE) {
            noteError(code);
            return std::nullopt;
        }
    }
    sqlite3_bind_int64(s_->deleteEntries.get(), 1, id);
    if (!run(s_->deleteEntries.get()))
        return std::nullopt;
    for (const CatalogueEntry& e : folder.entries) {
        const std::string tail = tailKey(e.name);
        const std::string path = joined(folder.path, e.name);
        StatementScope q(s_->insertEntry.get());
        q.integer(1, id).text(2, e.name).text(3, tail).integer(4, e.seq);
        q.integer(5, static_cast<int>(e.kind)).integer(6, static_cast<std::int64_t>(e.size));
        q.integer(7, e.modifiedNs).integer(8, static_cast<std::int64_t>(e.inode));
        q.integer(9, isLayerFile(e) ? 1 : 0).text(10, path);
        if (!stepDone(q))
            return std::nullopt;
        if (e.kind == EntryKind::Subfolder)
            formerSubfolders.erase(e.name);
    }
    const std::string prefix = folder.path.ends_with('/') ? folder.path : folder.path + "/";
    for (const std::string& gone : formerSubfolders)
        forget(prefix + gone);
    wrote(folder.entries.size() + 1);
    return failure_.empty() ? std::optional(id) : std::nullopt;
}

void CatalogueWriter::touch(std::int64_t folderId) {
    if (!begin())
        return;
    StatementScope q(s_->touch.get());
    q.integer(1, folderId).integer(2, today_);
    stepDone(q);
    wrote(1);
}

std::optional<std::int64_t> CatalogueWriter::folderId(const std::string& path) {
    StatementScope q(s_->folderByPath.get());
    q.text(1, path);
    const int code = q.step();
    if (code == SQLITE_ROW)
        return q.integerAt(0);
    if (code != SQLITE_DONE)
        noteError(code);
    return std::nullopt;
}

void CatalogueWriter::putEntry(std::int64_t folderId, const CatalogueEntry& entry,
                               std::int64_t nowNs) {
    if (!begin())
        return;
    const std::string tail = tailKey(entry.name);
    std::string path;
    if (isLayerFile(entry)) {
        StatementScope q(s_->folderPath.get());
        q.integer(1, folderId);
        if (q.step() == SQLITE_ROW)
            path = joined(q.textAt(0), entry.name);
    }
    {
        StatementScope q(s_->putEntry.get());
        q.integer(1, folderId).text(2, entry.name).text(3, tail);
        q.integer(5, static_cast<int>(entry.kind))
            .integer(6, static_cast<std::int64_t>(entry.size));
        q.integer(7, entry.modifiedNs).integer(8, static_cast<std::int64_t>(entry.inode));
        q.integer(9, path.empty() ? 0 : 1).text(10, path);
        if (!stepDone(q))
            return;
    }
    StatementScope q(s_->folderUpdated.get());
    q.integer(1, folderId).integer(2, nowNs);
    stepDone(q);
    wrote(1);
}

void CatalogueWriter::removeEntry(std::int64_t folderId, std::string_view name,
                                  std::int64_t nowNs) {
    if (!begin())
        return;
    for (sqlite3_stmt* statement : {s_->removeEntry.get(), s_->folderUpdated.get()}) {
        StatementScope q(statement);
        q.integer(1, folderId);
        if (statement == s_->removeEntry.get())
            q.text(2, name);
        else
            q.integer(2, nowNs);
        if (!stepDone(q))
            return;
    }
    wrote(1);
}

void CatalogueWriter::markListed(std::int64_t folderId, const FileStamp& stamp,
                                 std::int64_t listedNs) {
    if (!begin())
        return;
    StatementScope q(s_->markListed.get());
    q.integer(1, folderId).integer(2, static_cast<std::int64_t>(stamp.device));
    q.integer(3, static_cast<std::int64_t>(stamp.inode));
    q.integer(4, static_cast<std::int64_t>(stamp.size)).integer(5, stamp.modifiedNs);
    q.integer(6, listedNs);
    stepDone(q);
    wrote(1);
}

void CatalogueWriter::forget(const std::string& path) {
    if (!begin())
        return;
    const auto folders = tree(path);
    for (const auto& [id, folderPath] : folders) {
        for (sqlite3_stmt* statement : {s_->deleteEntries.get(), s_->deleteFolder.get()}) {
            sqlite3_bind_int64(statement, 1, id);
            if (!run(statement))
                return;
        }
    }
    wrote(folders.size());
}

void CatalogueWriter::move(const std::string& from, const std::string& to) {
    if (from == to || !begin())
        return;
    forget(to); // a tree moved over another replaces it
    const auto folders = tree(from);
    for (const auto& [id, path] : folders) {
        StatementScope q(s_->renameFolder.get());
        const std::string moved = to + path.substr(from.size());
        q.integer(1, id).text(2, moved);
        if (!stepDone(q))
            return;
    }
    // The files keep their stamps: what they told is still theirs.
    std::vector<std::string> footprints;
    if (const int code = eachRowAtAndBelow(
            s_->footprintExact.get(), s_->footprintsBelow.get(), from,
            [&](const StatementScope& q) { footprints.emplace_back(q.textAt(0)); });
        code != SQLITE_DONE)
        return noteError(code);
    for (const std::string& path : footprints) {
        const std::string moved = to + path.substr(from.size());
        for (sqlite3_stmt* statement : {s_->deleteFootprint.get(), s_->renameFootprint.get()}) {
            StatementScope q(statement);
            if (statement == s_->deleteFootprint.get())
                q.text(1, moved);
            else
                q.text(1, path).text(2, moved);
            if (!stepDone(q))
                return;
        }
    }
    wrote(folders.size() + footprints.size());
}

void CatalogueWriter::setWatch(std::int64_t folderId, std::int64_t session, std::int64_t watchedNs,
                               const std::string& problem) {
    if (!begin())
        return;
    StatementScope q(s_->setWatch.get());
    q.integer(1, folderId).integer(2, session).integer(3, watchedNs).text(4, problem);
    stepDone(q);
    wrote(1);
}

void CatalogueWriter::restartWatches(std::int64_t session, std::int64_t watchedNs) {
    if (!begin())
        return;
    StatementScope q(s_->restartWatches.get());
    q.integer(1, session).integer(2, watchedNs);
    stepDone(q);
    wrote(1);
}

void CatalogueWriter::setWatcher(std::int64_t session, std::int64_t pid, std::int64_t startedNs,
                                 std::int64_t watchLimit) {
    if (!begin())
        return;
    if (session == 0) {
        run(s_->clearWatcher.get());
    } else {
        StatementScope q(s_->setWatcher.get());
        q.integer(1, session).integer(2, pid).integer(3, startedNs).integer(4, watchLimit);
        stepDone(q);
    }
    commit();
}

} // namespace finder
