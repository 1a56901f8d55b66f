#include "search_worker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <chrono>

namespace finder {

SearchWorker::SearchWorker(QObject* receiver, Handlers handlers)
    : receiver_(receiver), handlers_(std::move(handlers)) {}

SearchWorker::~SearchWorker() {
    stop_ = true;
    closing_ = true;
    // A hand-off posted before `closing_` was seen waits for this thread:
    // deliver it, or the worker could never end.
    while (running_) {
        QCoreApplication::sendPostedEvents(receiver_, QEvent::MetaCall);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (thread_.joinable())
        thread_.join();
}

bool SearchWorker::start(const SearchCriteria& criteria, DatabaseHandle database) {
    if (running_)
        return false;
    if (thread_.joinable())
        thread_.join(); // the previous search has ended; its thread is done
    criteria_ = criteria;
    database_ = database;
    stop_ = false;
    running_ = true;
    thread_ = std::thread([this] { body(); });
    return true;
}

void SearchWorker::handOff(const std::function<void()>& work) {
    if (closing_ || !work)
        return;
    QMetaObject::invokeMethod(receiver_, work, Qt::BlockingQueuedConnection);
}

void SearchWorker::body() {
    std::uint32_t result = WalkResult::Stopped;
    try {
        handOff(handlers_.started);
        SearchCallbacks callbacks;
        callbacks.folderEntered = [this](const std::string& folder) {
            if (handlers_.folderEntered)
                handOff([&] { handlers_.folderEntered(folder); });
        };
        callbacks.candidateFound = [this](const FoundFile& file) {
            handOff([&] { handlers_.fileFound(file); });
        };
        SearchRun run(criteria_, stop_, std::move(callbacks), database_);
        run.setDepthLimit(depthLimit_);
        result = run.run();
    } catch (...) {
        // Nothing escapes the thread: the search ends as if stopped.
        result = WalkResult::Stopped;
    }
    try {
        if (handlers_.finished)
            handOff([&] { handlers_.finished(result); });
    } catch (...) {
    }
    running_ = false;
}

} // namespace finder
