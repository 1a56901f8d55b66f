#pragma once
// One search from Find Now to its last row, without a widget: the typed
// criteria, the coordinate-system database held for the length of the
// search, the worker thread, the stop flag and the walk's result. The window
// and kavrel-find both drive it and hear from it through a SearchListener.
#include "finder/found_file.h"
#include "finder/hand_off.h"
#include "finder/search_criteria.h"
#include "finder/search_database.h"
#include "finder/search_run.h"
#include "finder/walk_result.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace finder {

struct SearchOutcome {
    WalkResult walk;
    std::uint64_t filesFound = 0;
    std::string problem; // walkProblemText: empty when done or stopped
    bool failed() const { return walk.kind == WalkResult::Kind::Failed; }
    // Why the search ran without the footprint cache it was to use; empty
    // when it used it or was not to.
    std::string cacheProblem;
    // What the catalogue did for the search.
    struct CatalogueUse {
        bool covered = false;  // it knew the start folder
        bool recalled = false; // rows were shown from it before the walk
        bool alone = false;    // it answered, exactly, without a walk
        // When the newest and the oldest of its folders of the tree were
        // read whole (ns since 1970); 0 when it knew none.
        std::int64_t newestNs = 0, oldestNs = 0;
    } catalogue;
};

// Called through the controller's hand-off, one call at a time, on the
// listener's thread. Rows arrive in walk order, in batches.
class SearchListener {
public:
    virtual ~SearchListener() = default;
    virtual void searchStarted() {}
    // "Searching: " and the folder the walk is in now.
    virtual void statusChanged(const std::string& /*text*/) {}
    // Rows the disk gave that the listener has not been shown.
    virtual void rowsFound(const std::vector<FoundRow>& rows) = 0;
    // Rows the catalogue answers before the disk is looked at; the walk
    // then confirms each (rowsConfirmed) or it is gone (rowsGone). A
    // listener that shows only what the disk gives leaves these three as
    // they are: it then hears the confirmed rows as found rows.
    virtual void rowsRecalled(const std::vector<FoundRow>& /*rows*/) {}
    // True when the listener shows recalled rows: without a watcher that
    // vouches for the tree, a search for a listener that does not is only
    // walked (taking the folders the catalogue knows unchanged).
    virtual bool showsRecalledRows() const { return false; }
    // Recalled rows the walk found again, as the disk has them now: each
    // replaces the row of its path (its size, date or facts may differ).
    virtual void rowsConfirmed(const std::vector<FoundRow>& rows) { rowsFound(rows); }
    // Recalled rows the walk did not find (the file is gone or no longer
    // qualifies), by full path; told once the walk is through.
    virtual void rowsGone(const std::vector<std::string>& /*paths*/) {}
    // Every row has been delivered and the database closed by now;
    // `running()` is still true.
    virtual void searchFinished(const SearchOutcome& /*outcome*/) {}
};

class SearchController {
public:
    enum class StartResult { Started, Busy, DatabaseUnavailable };
    SearchController(SearchListener& listener, std::unique_ptr<HandOff> handOff);
    // Stops a running search and waits for its thread, serving its last
    // hand-offs meanwhile; the listener hears nothing more.
    ~SearchController();
    SearchController(const SearchController&) = delete;
    SearchController& operator=(const SearchController&) = delete;

    void setDatabaseFile(std::string file) { databaseFile_ = std::move(file); }
    const std::string& databaseFile() const { return databaseFile_; }
    void setDepthLimit(int levels) { depthLimit_ = levels; }
    // Whether searches that read files use the footprint cache (default
    // yes; never when KAVREL_CACHE=off).
    void setFootprintCache(bool use) { useCache_ = use; }
    bool footprintCacheWanted() const;
    // Facts read of every found file of a layer type, beyond the test's.
    void setFactsWanted(FactsWanted facts) { factsWanted_ = facts; }
    // Answer from the catalogue alone: nothing is walked; the rows arrive
    // as found rows (needs the footprint cache).
    void setCatalogueOnly(bool alone) { catalogueOnly_ = alone; }

    // Opens the database when the criteria need it, then starts the walk on
    // a new thread. Nothing starts while a search runs or when the database
    // the criteria need cannot be opened.
    StartResult start(const SearchCriteria& criteria);
    // Asks the walk to end after the entry it is handling.
    void stop() noexcept { stop_.store(true); }
    // Blocks until the running search, if any, has ended (not on the thread
    // of a listener that is handed work).
    void wait();

    bool running() const { return running_.load(); }
    bool stopRequested() const { return stop_.load(); }
    // The criteria of the last search started.
    const SearchCriteria& criteria() const { return criteria_; }
    // The open database of the running search, 0 when none is held.
    DatabaseHandle databaseHandle() const { return database_.handle(); }

private:
    struct RowQueue;
    void body();
    void handOff(const std::function<void()>& work);
    void queueRow(FoundRow row);
    void queueStatus(std::string status);
    void queueCatalogue(std::vector<FoundRow> recalled, std::vector<FoundRow> confirmed,
                        std::vector<std::string> gone);

    SearchListener& listener_;
    std::shared_ptr<RowQueue> queue_;
    std::unique_ptr<HandOff> handOff_;
    std::string databaseFile_;
    int depthLimit_ = SearchRun::DefaultDepthLimit;
    std::atomic<bool> useCache_{true};
    FactsWanted factsWanted_ = FactsWanted::None;
    bool catalogueOnly_ = false;
    SearchCriteria criteria_;
    SearchDatabase database_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> closing_{false};
    std::thread thread_;
};

} // namespace finder
