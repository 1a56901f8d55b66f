#pragma once
// The thread of one search. The walk and the candidate tests run on it; each
// folder and each file found is handed to the window's thread synchronously
// (the worker waits until the window has handled it), and so are the start
// and the end of the search.
#include "finder/found_file.h"
#include "finder/search_criteria.h"
#include "finder/search_run.h"

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace finder {

class SearchWorker {
public:
    // Run on the thread of `receiver`, one at a time.
    struct Handlers {
        std::function<void()> started;
        std::function<void(const std::string& folder)> folderEntered;
        std::function<void(const FoundFile& file)> fileFound;
        std::function<void(std::uint32_t walkResult)> finished;
    };

    SearchWorker(QObject* receiver, Handlers handlers);
    // Stops a running search and waits for its thread, serving its last
    // hand-offs meanwhile.
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // Starts the walk of `criteria` on a new thread; false while one runs.
    bool start(const SearchCriteria& criteria, DatabaseHandle database);
    // Asks the walk to end after the entry it is handling.
    void stop() { stop_ = true; }
    bool running() const { return running_; }
    bool stopRequested() const { return stop_; }
    void setDepthLimit(int levels) { depthLimit_ = levels; }

private:
    void body();
    void handOff(const std::function<void()>& work);

    QObject* receiver_;
    Handlers handlers_;
    SearchCriteria criteria_;
    DatabaseHandle database_ = 0;
    int depthLimit_ = SearchRun::DefaultDepthLimit;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> closing_{false};
    std::thread thread_;
};

} // namespace finder
