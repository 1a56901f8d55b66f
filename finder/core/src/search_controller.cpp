#include "finder/search_controller.h"

#include "finder/footprint_cache.h"
#include "finder/search_run.h"
#include "finder/search_status.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <utility>

namespace finder {

// Rows and the latest status the walk has found and the listener has not
// been told yet. Shared with the posted drains, which may outlive the
// controller: once closed, a drain tells nobody.
struct SearchController::RowQueue {
    std::mutex mutex;
    std::vector<FoundRow> rows;
    std::optional<std::string> status;
    bool drainPosted = false;
    std::atomic<bool> closed{false};
    SearchListener* listener;

    explicit RowQueue(SearchListener& l) : listener(&l) {}

    // Tells the listener everything queued; on the listener's thread.
    void drain() {
        std::vector<FoundRow> taken;
        std::optional<std::string> latest;
        {
            const std::lock_guard lock(mutex);
            taken.swap(rows);
            latest.swap(status);
            drainPosted = false;
        }
        if (closed)
            return;
        if (!taken.empty())
            listener->rowsFound(taken);
        if (latest)
            listener->statusChanged(*latest);
    }
};

SearchController::SearchController(SearchListener& listener, std::unique_ptr<HandOff> handOff)
    : listener_(listener), queue_(std::make_shared<RowQueue>(listener)),
      handOff_(std::move(handOff)) {}

SearchController::~SearchController() {
    stop_ = true;
    closing_ = true;
    queue_->closed = true;
    // A hand-off sent before `closing_` was seen waits for this thread:
    // serve it, or the search could never end.
    while (running_) {
        handOff_->serve();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (thread_.joinable())
        thread_.join();
}

SearchController::StartResult SearchController::start(const SearchCriteria& criteria) {
    if (running_)
        return StartResult::Busy;
    if (thread_.joinable())
        thread_.join(); // the previous search has ended; its thread is done
    if (needsDatabase(criteria) && !database_.open(databaseFile_))
        return StartResult::DatabaseUnavailable;
    criteria_ = criteria;
    stop_ = false;
    running_ = true;
    thread_ = std::thread([this] { body(); });
    return StartResult::Started;
}

void SearchController::wait() {
    if (thread_.joinable())
        thread_.join();
}

void SearchController::handOff(const std::function<void()>& work) {
    if (!closing_)
        handOff_->run(work);
}

void SearchController::queueRow(FoundRow row) {
    bool post = false;
    {
        const std::lock_guard lock(queue_->mutex);
        queue_->rows.push_back(std::move(row));
        post = !std::exchange(queue_->drainPosted, true);
    }
    if (post)
        handOff_->post([queue = queue_] { queue->drain(); });
}

void SearchController::queueStatus(std::string status) {
    bool post = false;
    {
        const std::lock_guard lock(queue_->mutex);
        queue_->status = std::move(status);
        post = !std::exchange(queue_->drainPosted, true);
    }
    if (post)
        handOff_->post([queue = queue_] { queue->drain(); });
}

bool SearchController::footprintCacheWanted() const {
    return useCache_ && FootprintCache::enabledByEnvironment();
}

void SearchController::body() {
    SearchOutcome outcome;
    outcome.walk = WalkResult::of(WalkResult::Kind::Stopped);
    try {
        handOff([this] { listener_.searchStarted(); });
        // Only a search that reads files opens the cache.
        FootprintCache::Opened cache;
        if (footprintCacheWanted() &&
            (criteria_.has(CriteriaFlags::Area) || criteria_.has(CriteriaFlags::CoordSysMatch) ||
             factsWanted_ != FactsWanted::None)) {
            cache = FootprintCache::open(FootprintCache::defaultFile(), FootprintCache::today());
            outcome.cacheProblem = cache.problem;
        }
        SearchCallbacks callbacks;
        callbacks.folderEntered = [this](const std::string& folder) {
            queueStatus(searchingText(folder));
        };
        callbacks.candidateFound = [this](const FoundFile& file) {
            queueRow(foundRow(file));
            queueStatus(searchingText(std::string(file.folder())));
        };
        SearchRun run(criteria_, stop_, std::move(callbacks), database_.handle());
        run.setDepthLimit(depthLimit_);
        run.setFootprintCache(cache.cache.get());
        run.setFactsWanted(factsWanted_);
        outcome.walk = run.run();
        outcome.filesFound = run.filesFound();
        // What the cache could not write is a failure of the search too.
        if (cache.cache) {
            cache.cache->flush();
            if (!cache.cache->failure().empty() && outcome.walk.kind != WalkResult::Kind::Failed)
                outcome.walk = WalkResult::failed(cache.cache->failure());
        }
    } catch (const std::exception& e) {
        // Nothing escapes the thread: the search ends as failed.
        outcome.walk = WalkResult::failed(e.what());
    } catch (...) {
        outcome.walk = WalkResult::failed("an unknown error");
    }
    database_.close();
    outcome.problem = walkProblemText(outcome.walk, criteria_.startFolder);
    try {
        handOff([&] {
            queue_->drain();
            listener_.searchFinished(outcome);
        });
    } catch (...) {
        // A listener that fails at the end has nothing left to be told.
    }
    running_ = false;
}

} // namespace finder
