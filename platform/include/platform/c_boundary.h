#pragma once
// The C boundary of a library: each extern "C" export runs its body through
// CBoundary::run, which catches everything thrown, answers the export's
// failure value and keeps why the call failed as the calling thread's last
// error text of that library.
//
// Rule for the text: every run() clears it first, so once an export returns
// the text tells why *that* call failed: the exception's what(), a fixed text
// for a throw of anything else, or what the body gave to fail(). It is empty
// after a success (and after a failure the body gave no reason for). Reading
// it (copyLastError) changes nothing, so it can be read more than once.
//
// Each library names its own thread_local slot, so libraries do not clear
// or overwrite each other's text when one calls the other.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// Text kept when something that is not a std::exception is thrown.
inline constexpr char kNonStandardExceptionText[] = "unknown failure (not a standard exception)";

// Copies `text` into a caller's buffer of `size` bytes, cut to size - 1
// characters and terminated; false (buffer untouched) when there is no room
// at all.
inline bool copyToBuffer(std::string_view text, char* buffer, std::int32_t size) noexcept {
    if (buffer == nullptr || size <= 0)
        return false;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    if (n > 0) // an empty view may carry no pointer at all
        std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return true;
}

// Slot of a library whose callers read no text (the ADRG plug-in reports
// string ids instead).
inline std::string& unreadErrorText() noexcept {
    thread_local std::string text;
    return text;
}

// Slot: a function giving the library's thread_local text of this thread.
template <std::string& (*Slot)() noexcept = &unreadErrorText> class CBoundary {
public:
    // Runs `body` and gives what it returns; `onFailure` when it throws.
    template <class R, class Body> static R run(R onFailure, Body&& body) noexcept {
        Slot().clear();
        try {
            return std::forward<Body>(body)();
        } catch (const std::exception& e) {
            record(e.what());
        } catch (...) {
            record(kNonStandardExceptionText);
        }
        return onFailure;
    }

    // The same for an export that returns nothing.
    template <class Body> static void run(Body&& body) noexcept {
        run(0, [&] {
            std::forward<Body>(body)();
            return 0;
        });
    }

    // For a body's own checks: keeps `why` and gives `code`, so a body can
    // `return Boundary::fail(0, "no such map");`.
    template <class R> static R fail(R code, std::string_view why) noexcept {
        record(why);
        return code;
    }

    // Copies the text into `buffer`, cut to size - 1 characters and always
    // terminated when size > 0; gives the text's full length (0: no text),
    // so a caller can ask again with a buffer that fits.
    static std::int32_t copyLastError(char* buffer, std::int32_t size) noexcept {
        const std::string& text = Slot();
        copyToBuffer(text, buffer, size);
        return static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    }

private:
    static void record(std::string_view why) noexcept {
        try {
            Slot().assign(why);
        } catch (...) {
            Slot().clear(); // no memory for the text: better none than a stale one
        }
    }
};

} // namespace platform
