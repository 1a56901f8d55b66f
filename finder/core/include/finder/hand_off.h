#pragma once
// Where a search's listener runs: each call is handed from the search's
// thread to the listener's thread and the search waits until it has run,
// so a found entry stays valid for the length of the call.
#include <functional>
#include <memory>

class QObject;

namespace finder {

class HandOff {
public:
    virtual ~HandOff() = default;
    // Runs `work` on the listener's thread and returns when it has run.
    virtual void run(const std::function<void()>& work) = 0;
    // Has `work` run on the listener's thread soon, without waiting for it:
    // on an event loop a little later, so that the work of many calls can
    // be done at once.
    virtual void post(std::function<void()> work) = 0;
    // Called on the listener's thread while it waits for the search to end:
    // runs the hand-offs already on their way, or the search could never end.
    virtual void serve() {}
};

// Runs the work on the search's own thread (kavrel-find).
std::unique_ptr<HandOff> directHandOff();
// Runs the work on the thread of `receiver`, through its event loop.
std::unique_ptr<HandOff> eventLoopHandOff(QObject* receiver);

} // namespace finder
