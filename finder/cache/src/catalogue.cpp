// Reading the catalogue: folders of a tree, entries by folder or by the
// index of names, footprints by area, the facts kept for a file, and the
// watcher that holds the lock.
#include "finder/catalogue.h"

#include "cache_database.h"
#include "footprint_row.h"
#include "statement_scope.h"

#include "finder/footprint_cache.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

namespace finder {
namespace {

constexpr char kFolderColumns[] =
    "id, path, device, inode, size, modified, listed, seen, watch_session, watched";
constexpr char kEntryColumns[] = "name, kind, size, modified, inode, seq";

CatalogueFolder folderAt(const StatementScope& q) {
    CatalogueFolder f;
    f.id = q.integerAt(0);
    f.path = q.textAt(1);
    f.stamp = stampColumns(q.get(), 2);
    f.listedNs = q.integerAt(6);
    f.seenDay = q.integerAt(7);
    f.watchSession = q.integerAt(8);
    f.watchedNs = q.integerAt(9);
    return f;
}

// The entry whose columns begin at `first`.
CatalogueEntry entryAt(const StatementScope& q, int first) {
    CatalogueEntry e;
    e.name = q.textAt(first);
    e.kind = static_cast<EntryKind>(q.integerAt(first + 1));
    e.size = static_cast<std::uint64_t>(q.integerAt(first + 2));
    e.modifiedNs = q.integerAt(first + 3);
    e.inode = static_cast<std::uint64_t>(q.integerAt(first + 4));
    e.seq = q.integerAt(first + 5);
    return e;
}

// Each of a list of columns named with a table's prefix ("f.a, f.b").
std::string prefixed(std::string_view prefix, std::string_view columns) {
    std::string out(prefix);
    for (const char c : columns) {
        out += c;
        if (c == ' ')
            out += prefix;
    }
    return out;
}

// The footprints whose boxes meet ?1..?4 (east, west, north, south) and lie
// within ?7..?10 (south, north, west, east), under the paths ?5..?6: the
// footprint's columns, then its path. `join` "CROSS JOIN" reads the index
// of boxes first; a plain join lets SQLite take the paths first.
std::string areaSelect(std::string_view join) {
    return "SELECT " + prefixed("f.", kFootprintColumns) + ", f.path FROM footprint_area a " +
           std::string(join) +
           " footprint f ON f.rowid = a.id WHERE a.west <= ?1 AND a.east >= ?2 AND a.south <= ?3 "
           "AND a.north >= ?4 AND a.south >= ?7 AND a.north <= ?8 AND a.west >= ?9 AND a.east <= "
           "?10 "
           "AND f.path > ?5 AND f.path < ?6";
}

} // namespace

std::pair<std::string, std::string> pathsBelow(const std::string& folder) {
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    std::string end = prefix;
    end.back() = '0'; // the character after '/'
    return {prefix, end};
}

struct Catalogue::Statements : CacheConnection {
    StatementPtr folderExact, folderRange, entries, entry, headRange, headOpen, tailRange, tailOpen,
        area, areaFirst, watcher, counts, unwatched, subfolders, foldersAfter, notWatched, unread;
    std::map<std::int64_t, std::pair<strand32::SharedText, std::string>> systems;
};

Catalogue::Opened Catalogue::open(const std::string& file, std::int64_t today) {
    Opened opened;
    auto s = connectAs<Statements>(file, today - FootprintCache::kKeepDays, opened.problem);
    if (!s)
        return opened;
    const std::string folderSelect = "SELECT " + std::string(kFolderColumns) + " FROM folder ";
    const std::string entrySelect = "SELECT folder, " + std::string(kEntryColumns) + " FROM entry ";
    for (auto [sql, out] : {
             std::pair{folderSelect + "WHERE path = ?1", &s->folderExact},
             std::pair{folderSelect + "WHERE path > ?1 AND path < ?2 ORDER BY path",
                       &s->folderRange},
             std::pair{folderSelect + "WHERE path > ?1 ORDER BY path LIMIT ?2", &s->foldersAfter},
             std::pair{folderSelect + "WHERE watch_session != ?1 ORDER BY path LIMIT ?2",
                       &s->notWatched},
             std::pair{"SELECT " + std::string(kEntryColumns) + " FROM entry WHERE folder = ?1",
                       &s->entries},
             std::pair{"SELECT " + std::string(kEntryColumns) +
                           " FROM entry WHERE folder = ?1 AND name = ?2",
                       &s->entry},
             std::pair{entrySelect + "WHERE lower(name) >= ?1 AND lower(name) < ?2", &s->headRange},
             std::pair{entrySelect + "WHERE lower(name) >= ?1", &s->headOpen},
             std::pair{entrySelect + "WHERE tail >= ?1 AND tail < ?2", &s->tailRange},
             std::pair{entrySelect + "WHERE tail >= ?1", &s->tailOpen},
             std::pair{entrySelect + "WHERE unread = 1", &s->unread},
             std::pair{areaSelect("JOIN"), &s->area},
             std::pair{areaSelect("CROSS JOIN"), &s->areaFirst},
             // Without the index of subfolders every entry of a folder is read.
             // The folder an entry names is found by its path, in SQLite:
             // the answer holds numbers only.
             std::pair{std::string("SELECT e.folder, e.seq, ifnull(c.id, 0) FROM folder f JOIN "
                                   "entry e INDEXED BY entry_subfolder ON e.folder = f.id AND "
                                   "e.kind = 1 LEFT JOIN folder c ON c.path = (CASE WHEN f.path = "
                                   "'/' THEN '' ELSE f.path END) || '/' || e.name "
                                   "WHERE f.path >= ?1 AND f.path < ?2"),
                       &s->subfolders},
             std::pair{std::string("SELECT session, pid, started FROM watcher WHERE id = 1"),
                       &s->watcher},
             std::pair{std::string("SELECT (SELECT count(*) FROM folder), (SELECT count(*) FROM "
                                   "entry), (SELECT count(*) FROM folder WHERE watch_session = ?1 "
                                   "AND watch_problem IS NULL), (SELECT count(*) FROM folder WHERE "
                                   "watch_session = ?1 AND watch_problem IS NULL AND watched != 0 "
                                   "AND watched <= listed)"),
                       &s->counts},
             std::pair{std::string("SELECT path, watch_problem FROM folder WHERE watch_session = "
                                   "?1 AND watch_problem IS NOT NULL ORDER BY path"),
                       &s->unwatched},
         }) {
        if (const int code = prepareStatement(s->db.get(), sql, *out); code != SQLITE_OK) {
            opened.problem =
                "cannot read the catalogue " + file + ": " + sqlite3_errmsg(s->db.get());
            return opened;
        }
    }
    StatementPtr mode;
    const bool logged =
        prepareStatement(s->db.get(), "PRAGMA journal_mode", mode) == SQLITE_OK &&
        sqlite3_step(mode.get()) == SQLITE_ROW &&
        sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(mode.get(), 0)), "wal") ==
            0;
    opened.catalogue.reset(new Catalogue(std::move(s), file));
    opened.catalogue->logged_ = logged;
    return opened;
}

Catalogue::Catalogue(std::unique_ptr<Statements> s, std::string file)
    : s_(std::move(s)), file_(std::move(file)) {}

Catalogue::~Catalogue() {
    endRead();
    if (damaged_) {
        s_.reset();
        setAside(file_);
    }
}

std::string Catalogue::lockFile(const std::string& file) {
    return file + ".watch";
}

bool Catalogue::noteError(int code) {
    if (code == SQLITE_ROW || code == SQLITE_DONE)
        return false;
    if (isDamage(code))
        damaged_ = true;
    if (failure_.empty())
        failure_ = "the footprint cache's catalogue " + file_ + " failed: " + sqlite3_errstr(code);
    return true;
}

void Catalogue::beginRead() {
    if (!reading_)
        reading_ = sqlite3_exec(s_->db.get(), "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
}

void Catalogue::endRead() {
    if (reading_)
        sqlite3_exec(s_->db.get(), "COMMIT", nullptr, nullptr, nullptr);
    reading_ = false;
}

std::int64_t Catalogue::liveWatchSession() {
    const int fd = ::open(lockFile(file_).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    // The watcher holds the lock exclusively for as long as it runs.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    if (!held)
        return 0;
    StatementScope q(s_->watcher.get());
    const int code = q.step();
    noteError(code);
    return code == SQLITE_ROW ? q.integerAt(0) : 0;
}

std::vector<CatalogueFolder> Catalogue::folders(const std::string& path, bool below) {
    std::vector<CatalogueFolder> result;
    {
        StatementScope q(s_->folderExact.get());
        q.text(1, path);
        const int code = q.step();
        if (code != SQLITE_ROW) {
            noteError(code);
            return result;
        }
        result.push_back(folderAt(q));
    }
    if (!below)
        return result;
    const auto [from, to] = pathsBelow(path);
    StatementScope q(s_->folderRange.get());
    q.text(1, from).text(2, to);
    noteError(q.eachRow([&] { result.push_back(folderAt(q)); }));
    return result;
}

std::vector<CatalogueFolder> Catalogue::foldersAfter(const std::string& path, std::size_t limit) {
    std::vector<CatalogueFolder> result;
    StatementScope q(s_->foldersAfter.get());
    q.text(1, path).integer(2, static_cast<std::int64_t>(limit));
    noteError(q.eachRow([&] { result.push_back(folderAt(q)); }));
    return result;
}

std::vector<CatalogueFolder> Catalogue::foldersNotWatchedBy(std::int64_t session,
                                                            std::size_t limit) {
    std::vector<CatalogueFolder> result;
    StatementScope q(s_->notWatched.get());
    q.integer(1, session).integer(2, static_cast<std::int64_t>(limit));
    noteError(q.eachRow([&] { result.push_back(folderAt(q)); }));
    return result;
}

std::vector<CatalogueEntry> Catalogue::entries(std::int64_t folderId) {
    std::vector<CatalogueEntry> result;
    StatementScope q(s_->entries.get());
    q.integer(1, folderId);
    noteError(q.eachRow([&] { result.push_back(entryAt(q, 0)); }));
    std::sort(result.begin(), result.end(),
              [](const CatalogueEntry& a, const CatalogueEntry& b) { return a.seq < b.seq; });
    return result;
}

std::optional<CatalogueEntry> Catalogue::entry(std::int64_t folderId, std::string_view name) {
    StatementScope q(s_->entry.get());
    q.integer(1, folderId).text(2, name);
    const int code = q.step();
    if (code == SQLITE_ROW)
        return entryAt(q, 0);
    noteError(code);
    return std::nullopt;
}

void Catalogue::subfolders(
    const std::string& path,
    const std::function<void(std::int64_t folder, std::int64_t seq, std::int64_t child)>& each) {
    const std::string to = pathsBelow(path).second;
    StatementScope q(s_->subfolders.get());
    q.text(1, path).text(2, to);
    noteError(q.eachRow([&] { each(q.integerAt(0), q.integerAt(1), q.integerAt(2)); }));
}

void Catalogue::entriesInPlan(
    const NamePatternPlan& plan,
    const std::function<void(std::int64_t folder, CatalogueEntry&&)>& each) {
    if (plan.use == NamePatternPlan::Use::Everything)
        return;
    const bool head = plan.use == NamePatternPlan::Use::Head;
    sqlite3_stmt* statement = plan.to.empty() ? (head ? s_->headOpen : s_->tailOpen).get()
                                              : (head ? s_->headRange : s_->tailRange).get();
    StatementScope q(statement);
    q.text(1, plan.from);
    if (!plan.to.empty())
        q.text(2, plan.to);
    noteError(q.eachRow([&] { each(q.integerAt(0), entryAt(q, 1)); }));
}

void Catalogue::unreadEntries(
    const std::function<void(std::int64_t folder, CatalogueEntry&&)>& each) {
    StatementScope q(s_->unread.get());
    noteError(q.eachRow([&] { each(q.integerAt(0), entryAt(q, 1)); }));
}

void Catalogue::footprintsInArea(
    const AreaQuery& area, const std::function<bool(const KeptFootprint&)>& wanted,
    const std::function<void(KeptFootprint&&, std::optional<strand32::FileFacts>&&)>& each) {
    const strand32::Extent& box = area.box;
    // Boxes are kept a little larger than the footprints (single precision).
    constexpr double kMargin = 1e-3;
    constexpr double kWholeWidth = 180 - kMargin;
    if (!area.inside) {
        readArea(area, {box.west, box.north, box.east, box.south}, {-1e9, 1e9, 1e9, -1e9}, wanted,
                 each);
        return;
    }
    const strand32::Extent within{box.west - kMargin, box.north + kMargin, box.east + kMargin,
                                  box.south - kMargin};
    readArea(area, box, within, wanted, each);
    // Footprints across the antimeridian are kept as the earth's whole width:
    // those the boxes within the area missed (west at most -180, east at
    // least 180: a box that "meets" from 180 east to 180 west).
    if (within.west > -kWholeWidth || within.east < kWholeWidth)
        readArea(area, {kWholeWidth, box.north, -kWholeWidth, box.south},
                 {-1e9, within.north, 1e9, within.south}, wanted, each);
}

void Catalogue::readArea(
    const AreaQuery& area, const strand32::Extent& meets, const strand32::Extent& within,
    const std::function<bool(const KeptFootprint&)>& wanted,
    const std::function<void(KeptFootprint&&, std::optional<strand32::FileFacts>&&)>& each) {
    const auto [from, to] = pathsBelow(area.folder);
    StatementScope q((area.wideTree ? s_->areaFirst : s_->area).get());
    q.real(1, meets.east).real(2, meets.west).real(3, meets.north).real(4, meets.south);
    q.text(5, from).text(6, to);
    q.real(7, within.south).real(8, within.north).real(9, within.west).real(10, within.east);
    noteError(q.eachRow([&] {
        KeptFootprint kept;
        kept.stamp = stampColumns(q.get(), kDevice);
        kept.keysRead = q.integerAt(kKeysRead) != 0;
        kept.extent = rectColumns(q.get(), kWest);
        kept.lonLat = rectColumns(q.get(), kLonWest);
        if (!wanted(kept))
            return;
        kept.path = q.textAt(kColumnCount);
        each(std::move(kept), factsOfRow(q.get()));
    }));
}

const std::pair<strand32::SharedText, std::string>* Catalogue::systemOf(std::int64_t id) {
    if (const auto it = s_->systems.find(id); it != s_->systems.end())
        return &it->second;
    StatementScope q(s_->system.get());
    q.integer(1, id);
    const int code = q.step();
    if (code != SQLITE_ROW) {
        noteError(code);
        return nullptr;
    }
    return &s_->systems.emplace(id, std::pair{std::string(q.textAt(0)), std::string(q.textAt(1))})
                .first->second;
}

std::optional<strand32::FileFacts> Catalogue::factsOf(const std::string& path,
                                                      const FileStamp& file, bool needKeys) {
    StatementScope q(s_->select.get());
    q.text(1, path);
    const int code = q.step();
    if (code != SQLITE_ROW) {
        noteError(code);
        return std::nullopt;
    }
    if (stampColumns(q.get(), kDevice) != file)
        return std::nullopt;
    if (needKeys && q.integerAt(kKeysRead) == 0)
        return std::nullopt;
    return factsOfRow(q.get());
}

std::optional<strand32::FileFacts> Catalogue::factsOfRow(sqlite3_stmt* row) {
    return finder::factsOfRow(
        row, [this](std::int64_t id) { return systemOf(id); }, nullptr);
}

std::optional<std::pair<std::int64_t, std::int64_t>>
Catalogue::listedRange(const std::vector<CatalogueFolder>& folders, std::int64_t nowNs) {
    if (folders.empty())
        return std::nullopt;
    const std::int64_t session = liveWatchSession();
    std::pair<std::int64_t, std::int64_t> range{INT64_MIN, INT64_MAX};
    for (const CatalogueFolder& f : folders) {
        const std::int64_t listed = f.vouchedBy(session) ? nowNs : f.listedNs;
        range.first = std::max(range.first, listed);
        range.second = std::min(range.second, listed);
    }
    return range;
}

CatalogueStatus Catalogue::status() {
    CatalogueStatus status;
    status.watchSession = liveWatchSession();
    if (status.watchSession != 0) {
        StatementScope q(s_->watcher.get());
        if (q.step() == SQLITE_ROW) {
            status.watcherPid = q.integerAt(1);
            status.watcherStartedNs = q.integerAt(2);
        }
    }
    {
        StatementScope q(s_->counts.get());
        q.integer(1, status.watchSession);
        const int code = q.step();
        if (code != SQLITE_ROW) {
            noteError(code);
            return status;
        }
        status.folders = static_cast<std::uint64_t>(q.integerAt(0));
        status.entries = static_cast<std::uint64_t>(q.integerAt(1));
        if (status.watchSession != 0) {
            status.watched = static_cast<std::uint64_t>(q.integerAt(2));
            status.vouched = static_cast<std::uint64_t>(q.integerAt(3));
        }
    }
    if (status.watchSession == 0)
        return status;
    StatementScope q(s_->unwatched.get());
    q.integer(1, status.watchSession);
    noteError(q.eachRow([&] {
        status.unwatched.push_back({std::string(q.textAt(0)), std::string(q.textAt(1))});
    }));
    return status;
}

} // namespace finder
