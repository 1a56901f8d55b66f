// Finding and storing entries of the footprint cache.
#include "finder/footprint_cache.h"

#include "cache_database.h"
#include "companion_blob.h"
#include "footprint_row.h"

#include <platform/paths.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace finder {
namespace {

constexpr std::size_t kBatchSize = 1024;
constexpr std::int64_t kYoungNs = 2'000'000'000; // two seconds

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void bindStamp(sqlite3_stmt* s, int column, const FileStamp& stamp) {
    sqlite3_bind_int64(s, column + 2, static_cast<sqlite3_int64>(stamp.device));
    sqlite3_bind_int64(s, column + 3, static_cast<sqlite3_int64>(stamp.inode));
    sqlite3_bind_int64(s, column + 4, static_cast<sqlite3_int64>(stamp.size));
    sqlite3_bind_int64(s, column + 5, stamp.modifiedNs);
}

void bindRect(sqlite3_stmt* s, int column, const std::optional<strand32::Extent>& rect) {
    const double values[] = {rect ? rect->west : 0, rect ? rect->north : 0, rect ? rect->east : 0,
                             rect ? rect->south : 0};
    for (int i = 0; i < 4; ++i) {
        if (rect)
            sqlite3_bind_double(s, column + 2 + i, values[i]);
        else
            sqlite3_bind_null(s, column + 2 + i);
    }
}

void bindKeys(sqlite3_stmt* s, const std::optional<CoordSysKeys>& keys) {
    const char* fields[] = {keys ? keys->group : nullptr, keys ? keys->system : nullptr,
                            keys ? keys->datum : nullptr, keys ? keys->units : nullptr};
    for (int i = 0; i < 4; ++i) {
        if (keys)
            sqlite3_bind_text(s, kGroupKey + 2 + i, fields[i],
                              static_cast<int>(::strnlen(fields[i], quill32::kKeySize - 1)),
                              SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(s, kGroupKey + 2 + i);
    }
}

// Resets a statement when the scope ends, ready for its next use.
struct ResetOnExit {
    sqlite3_stmt* statement;
    ~ResetOnExit() {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

} // namespace

struct FootprintCache::Database : CacheConnection {};

struct FootprintCache::Pending {
    std::string path;
    bool touchOnly = false;
    FileStamp file, folder;
    strand32::FileFacts facts;
    std::string companions;
};

std::string FootprintCache::defaultFile() {
    return platform::userCacheFolder() + "/footprints.sqlite";
}

bool FootprintCache::enabledByEnvironment() {
    const char* value = std::getenv("KAVREL_CACHE");
    return value == nullptr || std::strcmp(value, "off") != 0;
}

std::int64_t FootprintCache::today() {
    return nowNs() / 1'000'000'000 / 86400;
}

FootprintCache::Opened FootprintCache::open(const std::string& file, std::int64_t today) {
    Opened opened;
    auto db = connectAs<Database>(file, today - kKeepDays, opened.problem);
    if (!db)
        return opened;
    opened.cache.reset(new FootprintCache(std::move(db), file, today));
    return opened;
}

FootprintCache::FootprintCache(std::unique_ptr<Database> db, std::string file, std::int64_t today)
    : db_(std::move(db)), file_(std::move(file)), today_(today) {}

FootprintCache::~FootprintCache() {
    flush();
    endRead();
    if (damaged_) {
        db_.reset();
        setAside(file_);
    }
}

void FootprintCache::noteError(int code) {
    // Another process writing beyond the busy timeout is no failure: the
    // entries are read again another time.
    if ((code & 0xff) == SQLITE_BUSY)
        return;
    if (isDamage(code))
        damaged_ = true;
    if (failure_.empty())
        failure_ = "the footprint cache " + file_ + " failed: " + sqlite3_errstr(code);
}

std::int64_t FootprintCache::systemId(const std::string& wkt, const std::string& name) {
    if (wkt.empty())
        return 0;
    if (const auto it = systemIds_.find(wkt); it != systemIds_.end())
        return it->second;
    sqlite3_stmt* insert = db_->insertSystem.get();
    sqlite3_bind_text(insert, 1, wkt.data(), static_cast<int>(wkt.size()), SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    if (!step(insert))
        return -1;
    sqlite3_stmt* s = db_->systemId.get();
    const ResetOnExit reset{s};
    sqlite3_bind_text(s, 1, wkt.data(), static_cast<int>(wkt.size()), SQLITE_STATIC);
    const int code = sqlite3_step(s);
    if (code != SQLITE_ROW) {
        noteError(code == SQLITE_DONE ? SQLITE_CORRUPT : code);
        return -1;
    }
    const std::int64_t id = sqlite3_column_int64(s, 0);
    systemIds_.emplace(wkt, id);
    return id;
}

const std::pair<strand32::SharedText, std::string>* FootprintCache::systemOf(std::int64_t id) {
    if (const auto it = systems_.find(id); it != systems_.end())
        return &it->second;
    sqlite3_stmt* s = db_->system.get();
    const ResetOnExit reset{s};
    sqlite3_bind_int64(s, 1, id);
    const int code = sqlite3_step(s);
    if (code != SQLITE_ROW) {
        if (code != SQLITE_DONE)
            noteError(code);
        return nullptr;
    }
    const auto text = [s](int column) {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        return std::string(chars ? chars : "");
    };
    return &systems_.emplace(id, std::pair{text(0), text(1)}).first->second;
}

// Runs a statement that gives no rows, ready for its next use.
bool FootprintCache::step(sqlite3_stmt* statement) {
    const int code = runOnce(statement);
    if (code == SQLITE_DONE || code == SQLITE_ROW)
        return true;
    noteError(code);
    return false;
}

void FootprintCache::endRead() {
    if (reading_ && db_)
        step(db_->commit.get());
    reading_ = false;
}

std::optional<strand32::FileFacts> FootprintCache::find(const std::string& path,
                                                        const FileStamp& file,
                                                        const FileStamp& folder, bool needKeys,
                                                        const CompanionStamper& companionStamp) {
    if (damaged_ || !failure_.empty())
        return std::nullopt;
    if (!reading_)
        reading_ = step(db_->beginRead.get());
    sqlite3_stmt* s = db_->select.get();
    const ResetOnExit reset{s};
    sqlite3_bind_text(s, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    const int code = sqlite3_step(s);
    if (code != SQLITE_ROW) {
        if (code != SQLITE_DONE)
            noteError(code);
        return std::nullopt;
    }
    if (stampColumns(s, kDevice) != file || stampColumns(s, kFolderDevice) != folder)
        return std::nullopt;
    if (needKeys && sqlite3_column_int(s, kKeysRead) == 0)
        return std::nullopt;
    auto facts = factsOfRow(
        s, [this](std::int64_t id) { return systemOf(id); }, &companionStamp);
    if (!facts)
        return std::nullopt;
    if (sqlite3_column_int64(s, kSeen) < today_) {
        Pending touch;
        touch.path = path;
        touch.touchOnly = true;
        pending_.push_back(std::move(touch));
        // A search that only meets cached files writes as one that stores.
        if (pending_.size() >= kBatchSize) {
            sqlite3_reset(s); // the look-up is done before the read ends
            flush();
        }
    }
    return facts;
}

void FootprintCache::store(const std::string& path, const FileStamp& file, const FileStamp& folder,
                           const strand32::FileFacts& facts,
                           const std::vector<CompanionStamp>& companions) {
    if (damaged_ || !failure_.empty())
        return;
    const std::int64_t young = nowNs() - kYoungNs;
    if (file.modifiedNs > young || folder.modifiedNs > young)
        return;
    for (const CompanionStamp& c : companions) {
        if (c.stamp.modifiedNs > young)
            return;
    }
    pending_.push_back(Pending{path, false, file, folder, facts, encodeCompanions(companions)});
    if (pending_.size() >= kBatchSize)
        flush();
}

void FootprintCache::flush() {
    std::vector<Pending> batch;
    batch.swap(pending_);
    if (batch.empty() || damaged_ || !failure_.empty())
        return;
    endRead();
    const auto run = [this](sqlite3_stmt* s) { return step(s); };
    // Busy beyond the timeout (another process writing all along): the
    // batch is dropped, the entries are read again another time.
    if (!run(db_->begin.get()))
        return;
    bool ok = true;
    for (const Pending& p : batch) {
        // The entry's systems first: they are statements of their own.
        std::int64_t crs = 0;
        std::string layers;
        if (!p.touchOnly) {
            crs = systemId(p.facts.crsWkt, p.facts.crsName);
            bool systemsKept = crs >= 0;
            layers =
                encodeLayers(p.facts.layers, [&](const std::string& wkt, const std::string& name) {
                    const std::int64_t id = systemId(wkt, name);
                    systemsKept = systemsKept && id >= 0;
                    return id;
                });
            if (!(ok = systemsKept))
                break;
        }
        sqlite3_stmt* s = p.touchOnly ? db_->touch.get() : db_->upsert.get();
        sqlite3_bind_text(s, 1, p.path.data(), static_cast<int>(p.path.size()), SQLITE_STATIC);
        if (p.touchOnly) {
            sqlite3_bind_int64(s, 2, today_);
        } else {
            bindStamp(s, kDevice, p.file);
            bindStamp(s, kFolderDevice, p.folder);
            sqlite3_bind_blob(s, kCompanions + 2, p.companions.data(),
                              static_cast<int>(p.companions.size()), SQLITE_STATIC);
            bindRect(s, kWest, p.facts.extent);
            bindRect(s, kLonWest, p.facts.lonLat);
            sqlite3_bind_int(s, kKeysRead + 2, p.facts.keysRead ? 1 : 0);
            bindKeys(s, p.facts.keys);
            sqlite3_bind_int(s, kKind + 2, static_cast<int>(p.facts.kind));
            if (crs > 0)
                sqlite3_bind_int64(s, kCrs + 2, crs);
            else
                sqlite3_bind_null(s, kCrs + 2);
            sqlite3_bind_blob(s, kLayers + 2, layers.data(), static_cast<int>(layers.size()),
                              SQLITE_STATIC);
            sqlite3_bind_int64(s, kSeen + 2, today_);
        }
        if (!(ok = run(s)))
            break;
    }
    if (!ok || !run(db_->commit.get())) {
        run(db_->rollback.get());
        // Ids of systems added in the batch are gone with it.
        systemIds_.clear();
        systems_.clear();
    }
}

} // namespace finder
