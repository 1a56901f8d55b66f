#pragma once
// The footprint cache: what each data file told the candidate test (its
// facts), kept in SQLite at $XDG_CACHE_HOME/kavrel/footprints.sqlite, so
// that a repeat search opens no file. An entry answers only while the file,
// its folder and every companion it was read with keep the stamps stored
// with it; anything else reads the file again. Several processes may use one
// cache at once (write-ahead log, a busy timeout, writes batched in
// transactions). A damaged file is set aside and a new one made; entries of
// files not met for 90 days are dropped. A failure while it is used (the
// file cannot be read or written, or is found damaged) is kept as a text
// for the search to report. Used by one thread at a time.
#include "finder/file_stamp.h"

#include <strand32/file_facts.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace finder {

struct CompanionStamp {
    std::string name; // as FileFacts::companions holds it
    FileStamp stamp;
};

class FootprintCache {
public:
    static constexpr std::int64_t kKeepDays = 90;

    // $XDG_CACHE_HOME/kavrel/footprints.sqlite (~/.cache/kavrel/...).
    static std::string defaultFile();
    // False when the environment says KAVREL_CACHE=off.
    static bool enabledByEnvironment();
    // Days since 1970 (UTC), the unit entries are aged in.
    static std::int64_t today();

    struct Opened {
        std::unique_ptr<FootprintCache> cache;
        std::string problem; // why there is no cache; empty when there is one
    };
    // Opens the cache file, making it and its folder when missing. A file
    // that is not a sound cache is renamed to FILE.damaged and replaced.
    static Opened open(const std::string& file, std::int64_t today);

    // Writes what is pending; sets the file aside when it was found damaged.
    ~FootprintCache();
    FootprintCache(const FootprintCache&) = delete;
    FootprintCache& operator=(const FootprintCache&) = delete;

    // The current stamp of a companion (a name as stored); none when gone.
    using CompanionStamper = std::function<std::optional<FileStamp>(const std::string& name)>;

    // The facts stored for the file at `path` (its full path), when the
    // file, its folder and each companion still have their stored stamps and,
    // if `needKeys`, the coordinate-system keys were read.
    std::optional<strand32::FileFacts> find(const std::string& path, const FileStamp& file,
                                            const FileStamp& folder, bool needKeys,
                                            const CompanionStamper& companionStamp);

    // Keeps facts read from the file with these stamps (the file's and the
    // folder's taken before the reading, the companions' after it). Nothing
    // is kept when a stamp is younger than two seconds: a change within the
    // file system's time step could go unseen.
    void store(const std::string& path, const FileStamp& file, const FileStamp& folder,
               const strand32::FileFacts& facts, const std::vector<CompanionStamp>& companions);

    // Writes the pending entries in one transaction (store does this every
    // few hundred entries).
    void flush();

    // True once the file was found damaged: nothing more is read or written.
    bool damaged() const { return damaged_; }
    // Why the cache failed while it was used; empty while it has not.
    const std::string& failure() const { return failure_; }

private:
    struct Database;
    struct Pending;
    FootprintCache(std::unique_ptr<Database> db, std::string file, std::int64_t today);
    void noteError(int code);
    // The id of a system in the file (added when new; 0 for none, -1 when
    // it cannot be had), and the system of an id.
    std::int64_t systemId(const std::string& wkt, const std::string& name);
    const std::pair<strand32::SharedText, std::string>* systemOf(std::int64_t id);
    bool step(sqlite3_stmt* statement);
    void endRead();

    std::unique_ptr<Database> db_;
    std::string file_;
    std::int64_t today_;
    std::vector<Pending> pending_;
    bool damaged_ = false;
    std::string failure_;
    // Systems met, both ways; ids are the cache file's own.
    std::map<std::string, std::int64_t> systemIds_;
    std::map<std::int64_t, std::pair<strand32::SharedText, std::string>> systems_;
    // Look-ups share one read transaction until the next write: far fewer
    // locks taken than one transaction per look-up.
    bool reading_ = false;
};

} // namespace finder
