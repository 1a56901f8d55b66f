#pragma once
// A replaceable process-wide function (trace sink, message-box presenter):
// set from any thread, copied out under the lock and called outside it, so a
// hook may itself call back into the layer.
#include <mutex>

namespace platform {

template <class Function> class ProcessHook {
public:
    void set(Function f) {
        std::lock_guard lock(mutex_);
        function_ = std::move(f);
    }
    Function get() const {
        std::lock_guard lock(mutex_);
        return function_;
    }

private:
    mutable std::mutex mutex_;
    Function function_;
};

} // namespace platform
