#include "finder/search_controller.h"

#include "finder/search_run.h"
#include "finder/search_status.h"

#include <chrono>

namespace finder {

SearchController::SearchController(SearchListener& listener, std::unique_ptr<HandOff> handOff)
    : listener_(listener), handOff_(std::move(handOff)) {}

SearchController::~SearchController() {
    stop_ = true;
    closing_ = true;
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

void SearchController::body() {
    SearchOutcome outcome;
    outcome.walk = WalkResult::of(WalkResult::Kind::Stopped);
    try {
        handOff([this] { listener_.searchStarted(); });
        SearchCallbacks callbacks;
        callbacks.folderEntered = [this](const std::string& folder) {
            handOff([&] { listener_.statusChanged(searchingText(folder)); });
        };
        callbacks.candidateFound = [this](const FoundFile& file) {
            handOff([&] {
                listener_.fileFound(file);
                listener_.statusChanged(searchingText(file.folder));
            });
        };
        SearchRun run(criteria_, stop_, std::move(callbacks), database_.handle());
        run.setDepthLimit(depthLimit_);
        outcome.walk = run.run();
        outcome.filesFound = run.filesFound();
    } catch (...) {
        // Nothing escapes the thread: the search ends as if stopped.
    }
    database_.close();
    outcome.problem = walkProblemText(outcome.walk, criteria_.startFolder);
    try {
        handOff([&] { listener_.searchFinished(outcome); });
    } catch (...) {
    }
    running_ = false;
}

} // namespace finder
