#pragma once
// The catalogue, written: what walks listed and what the watcher saw change.
// Writes are batched in transactions of about 8,000 rows; commit()
// ends the open one. A listing older than what is kept of its folder is
// passed over, so that a slow walk never undoes a change the watcher wrote.
// A failure is kept as a text; a damaged file is set aside when the writer
// closes. Used by one thread at a time.
#include "finder/catalogue_entry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace finder {

class StatementScope;

struct FolderRecord {
    std::string path; // absolute, as the walk writes it
    FileStamp stamp;  // taken before the folder was listed
    std::int64_t listedNs = 0;
    std::vector<CatalogueEntry> entries; // in listing order
};

class CatalogueWriter {
public:
    static constexpr std::size_t kBatchRows = 8192;

    struct Opened {
        std::unique_ptr<CatalogueWriter> writer;
        std::string problem;
    };
    static Opened open(const std::string& file, std::int64_t today);
    // Commits what is pending.
    ~CatalogueWriter();
    CatalogueWriter(const CatalogueWriter&) = delete;
    CatalogueWriter& operator=(const CatalogueWriter&) = delete;

    // Keeps a folder's listing in place of what was kept, unless that is
    // newer; subfolders it no longer lists are forgotten with their trees.
    // The folder's id, none when passed over or failed.
    std::optional<std::int64_t> record(const FolderRecord& folder);
    // A search met the folder today.
    void touch(std::int64_t folderId);

    // What the watcher writes. Every change of a folder's entries marks the
    // folder updated at `nowNs`.
    std::optional<std::int64_t> folderId(const std::string& path);
    void putEntry(std::int64_t folderId, const CatalogueEntry& entry, std::int64_t nowNs);
    void removeEntry(std::int64_t folderId, std::string_view name, std::int64_t nowNs);
    // The folder's entries were all found true at `listedNs`, its stamp `stamp`.
    void markListed(std::int64_t folderId, const FileStamp& stamp, std::int64_t listedNs);
    // The folder at `path` and every folder below it are gone.
    void forget(const std::string& path);
    // The folder tree at `from` is now at `to` (footprints move with it).
    void move(const std::string& from, const std::string& to);
    // Who watches the folder since when; a problem says why it is not watched.
    void setWatch(std::int64_t folderId, std::int64_t session, std::int64_t watchedNs,
                  const std::string& problem);
    // Every folder the session watches is watched anew from `watchedNs`:
    // none is vouched for until it has been read whole again.
    void restartWatches(std::int64_t session, std::int64_t watchedNs);
    // The running watcher, or none (session 0 clears the row).
    void setWatcher(std::int64_t session, std::int64_t pid, std::int64_t startedNs,
                    std::int64_t watchLimit);

    // Which names are of a layer type: their entries are marked unread
    // while no footprint was read from the file as they stamp it.
    void setLayerNames(std::function<bool(std::string_view name)> isLayer) {
        isLayer_ = std::move(isLayer);
    }

    // Ends the open transaction.
    void commit();

    const std::string& failure() const { return failure_; }
    bool damaged() const { return damaged_; }

private:
    struct Statements;
    CatalogueWriter(std::unique_ptr<Statements> s, std::string file, std::int64_t today);
    bool begin();
    bool run(sqlite3_stmt* statement);
    // Steps a statement that returns no rows; false (and the error noted)
    // when it did not finish.
    bool stepDone(StatementScope& q);
    void noteError(int code);
    void wrote(std::size_t rows);
    bool isLayerFile(const CatalogueEntry& entry) const;
    // The folders at and below `path`: id and path.
    std::vector<std::pair<std::int64_t, std::string>> tree(const std::string& path);

    std::unique_ptr<Statements> s_;
    std::string file_;
    std::int64_t today_;
    bool inTransaction_ = false;
    std::size_t rows_ = 0;
    std::string failure_;
    bool damaged_ = false;
    std::function<bool(std::string_view)> isLayer_;
};

} // namespace finder
