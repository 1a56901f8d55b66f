#pragma once
// The edge of the layer module's tables: a throw becomes a failure with its
// reason, so that the caller reports what went wrong.
#include <exception>
#include <new>
#include <string>

namespace finder {

// Runs `work`; on a throw, false with `error` saying what failed while doing
// `what` ("reading a file's facts").
template <class Work> bool guarded(std::string& error, const char* what, Work&& work) noexcept {
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        error = std::string("out of memory while ") + what;
    } catch (const std::exception& e) {
        error = std::string(what) + " failed: " + e.what();
    } catch (...) {
        error = std::string(what) + " failed";
    }
    return false;
}

} // namespace finder
