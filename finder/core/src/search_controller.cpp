#include "finder/search_controller.h"

#include "catalogue_search.h"
#include "finder/footprint_cache.h"
#include "finder/search_run.h"
#include "finder/search_status.h"
#include "folder_listing.h"

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
    // The catalogue's rows: told before the rows found, gone ones after.
    std::vector<FoundRow> recalled, confirmed;
    std::vector<std::string> gone;
    bool drainPosted = false;
    std::atomic<bool> closed{false};
    SearchListener* listener;

    explicit RowQueue(SearchListener& l) : listener(&l) {}

    // Tells the listener everything queued; on the listener's thread.
    void drain() {
        std::vector<FoundRow> taken, takenRecalled, takenConfirmed;
        std::vector<std::string> takenGone;
        std::optional<std::string> latest;
        {
            const std::lock_guard lock(mutex);
            taken.swap(rows);
            takenRecalled.swap(recalled);
            takenConfirmed.swap(confirmed);
            takenGone.swap(gone);
            latest.swap(status);
            drainPosted = false;
        }
        if (closed)
            return;
        if (!takenRecalled.empty())
            listener->rowsRecalled(takenRecalled);
        if (!takenConfirmed.empty())
            listener->rowsConfirmed(takenConfirmed);
        if (!taken.empty())
            listener->rowsFound(taken);
        if (!takenGone.empty())
            listener->rowsGone(takenGone);
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

void SearchController::queueCatalogue(std::vector<FoundRow> recalled,
                                      std::vector<FoundRow> confirmed,
                                      std::vector<std::string> gone) {
    bool post = false;
    {
        const std::lock_guard lock(queue_->mutex);
        for (FoundRow& row : recalled)
            queue_->recalled.push_back(std::move(row));
        for (FoundRow& row : confirmed)
            queue_->confirmed.push_back(std::move(row));
        for (std::string& path : gone)
            queue_->gone.push_back(std::move(path));
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
        // The catalogue answers first; the walk then confirms what it showed.
        std::unique_ptr<CatalogueSearch> catalogue;
        if (footprintCacheWanted() && CatalogueSearch::enabledByEnvironment()) {
            CatalogueSearch::Opened opened = CatalogueSearch::open();
            catalogue = std::move(opened.search);
            if (outcome.cacheProblem.empty())
                outcome.cacheProblem = std::move(opened.problem);
        }
        const auto statusText = [&outcome](const std::string& folder) {
            return outcome.catalogue.recalled ? checkingText(folder) : searchingText(folder);
        };
        SearchCallbacks callbacks;
        callbacks.folderEntered = [this, &statusText](const std::string& folder) {
            queueStatus(statusText(folder));
        };
        callbacks.candidateFound = [this, &catalogue, &statusText](const FoundFile& file) {
            if (catalogue && catalogue->confirm(file.path))
                queueCatalogue({}, {foundRow(file)}, {});
            else
                queueRow(foundRow(file));
            queueStatus(statusText(std::string(file.folder())));
        };
        SearchRun run(criteria_, stop_, std::move(callbacks), database_.handle());
        run.setDepthLimit(depthLimit_);
        run.setFootprintCache(cache.cache.get());
        run.setFactsWanted(factsWanted_);
        bool walk = true;
        if (catalogue) {
            const auto rowsOf = [](std::vector<FoundFile>&& files) {
                std::vector<FoundRow> rows;
                rows.reserve(files.size());
                for (FoundFile& file : files)
                    rows.push_back(foundRow(std::move(file)));
                return rows;
            };
            // Rows the catalogue answers first: final alone, shown otherwise.
            std::size_t answeredFirst = 0;
            const auto first = [&](std::vector<FoundFile>&& files) {
                answeredFirst += files.size();
                std::vector<FoundRow> rows = rowsOf(std::move(files));
                if (!catalogueOnly_) {
                    queueCatalogue(std::move(rows), {}, {});
                    return;
                }
                for (FoundRow& row : rows)
                    queueRow(std::move(row));
            };
            CatalogueSearch::Answer answer = catalogue->answer(
                criteria_, database_.handle(), factsWanted_, depthLimit_, catalogueOnly_,
                listener_.showsRecalledRows(), outcome.catalogue, first);
            std::vector<FoundRow> rows = rowsOf(std::move(answer.files));
            if (answer.final) {
                walk = false;
                outcome.filesFound = answeredFirst + rows.size();
                outcome.walk = catalogueOnly_ && !outcome.catalogue.covered
                                   ? WalkResult::failed(notCataloguedText(
                                         absoluteFolderPath(criteria_.startFolder)))
                                   : WalkResult::done();
                for (FoundRow& row : rows)
                    queueRow(std::move(row));
            } else {
                if (!rows.empty())
                    queueCatalogue(std::move(rows), {}, {});
                if (outcome.catalogue.recalled) {
                    queueStatus(checkingText(criteria_.startFolder));
                    CatalogueSearch::holdForTests(stop_);
                }
                run.setFolderSource(catalogue->folders());
            }
        } else if (catalogueOnly_) {
            walk = false;
            outcome.walk = WalkResult::failed(
                !footprintCacheWanted()                    ? std::string(kCatalogueOffText)
                : !CatalogueSearch::enabledByEnvironment() ? std::string(kCatalogueAloneOffText)
                                                           : outcome.cacheProblem);
        }
        if (walk) {
            outcome.walk = run.run();
            outcome.filesFound = run.filesFound();
            // Rows shown that the whole walk did not find again are gone.
            if (catalogue && (outcome.walk.kind == WalkResult::Kind::Done ||
                              outcome.walk.kind == WalkResult::Kind::TooDeep))
                queueCatalogue({}, {}, catalogue->unconfirmed());
        }
        if (catalogue) {
            const std::string failure = catalogue->finish();
            if (!failure.empty() && outcome.walk.kind != WalkResult::Kind::Failed)
                outcome.walk = WalkResult::failed(failure);
        }
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
