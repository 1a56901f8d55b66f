// The pool's threads take work in the order given; finishes run on the
// pushing thread, oldest first.
#include "ordered_pool.h"

namespace finder {
namespace {

void runQuietly(const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        // The step counts as done; its finish sees what the work left.
    }
}

} // namespace

OrderedPool::OrderedPool(unsigned threads, std::size_t lookAhead)
    : lookAhead_(lookAhead == 0 ? 1 : lookAhead) {
    for (unsigned i = 0; i < threads; ++i)
        threads_.emplace_back([this] { serve(); });
}

OrderedPool::~OrderedPool() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    workReady_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void OrderedPool::serve() {
    for (;;) {
        std::shared_ptr<Step> step;
        {
            std::unique_lock lock(mutex_);
            workReady_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (closing_)
                return;
            step = std::move(queue_.front());
            queue_.pop_front();
        }
        runQuietly(step->work);
        {
            const std::lock_guard lock(mutex_);
            step->done = true;
        }
        workDone_.notify_all();
    }
}

void OrderedPool::push(std::function<void()> work, std::function<void()> finish, bool here) {
    auto step = std::make_shared<Step>();
    step->finish = std::move(finish);
    if (!work || here || threads_.empty()) {
        if (work)
            runQuietly(work);
        step->done = true;
        steps_.push_back(std::move(step));
        return;
    }
    step->work = std::move(work);
    steps_.push_back(step);
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(step));
    }
    workReady_.notify_one();
}

bool OrderedPool::drain(bool all, const std::function<bool()>& keepGoing) {
    while (!steps_.empty()) {
        const std::shared_ptr<Step> head = steps_.front();
        {
            std::unique_lock lock(mutex_);
            if (!head->done) {
                if (!all && steps_.size() <= lookAhead_)
                    return true;
                workDone_.wait(lock, [&] { return head->done; });
            }
        }
        steps_.pop_front();
        head->finish();
        if (!keepGoing())
            return false;
    }
    return true;
}

} // namespace finder
