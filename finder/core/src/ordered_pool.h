#pragma once
// Work that runs ahead on a small pool of threads while its results are
// taken in the order it was given: the walk pushes one step per entry, each
// step's work (reading a file) runs on a pool thread, and its finish
// (handing the entry on) runs on the walk's thread once every earlier step
// has finished. Used by one thread, the one that pushes and drains.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace finder {

class OrderedPool {
public:
    // `threads` 0: every work runs at once on the pushing thread. At most
    // `lookAhead` steps wait to finish; a push beyond that waits for the
    // oldest.
    OrderedPool(unsigned threads, std::size_t lookAhead);
    // Drops the work not yet begun and waits for the work under way; the
    // finishes not yet run are dropped.
    ~OrderedPool();
    OrderedPool(const OrderedPool&) = delete;
    OrderedPool& operator=(const OrderedPool&) = delete;

    // Appends a step. `work` may be empty, or run here when `here` (it
    // needs the pushing thread, such as its current folder). Never throws
    // from the work: a work that throws counts as done.
    void push(std::function<void()> work, std::function<void()> finish, bool here = false);

    // Runs the finishes of the steps at the head whose work is done; with
    // `all`, waits for each step in turn until none is left, and otherwise
    // waits only while more than `lookAhead` steps are waiting. After each
    // finish, `keepGoing` decides; false when it said stop. A finish that
    // throws passes the exception on (its step is dropped).
    bool drain(bool all, const std::function<bool()>& keepGoing);

    bool empty() const { return steps_.empty(); }

private:
    struct Step {
        std::function<void()> work;
        std::function<void()> finish;
        bool done = false; // guarded by mutex_
    };
    void serve();

    std::size_t lookAhead_;
    std::deque<std::shared_ptr<Step>> steps_; // in order; the pushing thread's
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable workDone_;
    std::deque<std::shared_ptr<Step>> queue_; // work not yet begun
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace finder
