// The C-boundary helper: what an export answers and what text it leaves
// for every way its body can end, and that threads keep their own text.
#include "platform/c_boundary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <latch>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace {

std::string& testSlot() noexcept {
    thread_local std::string text;
    return text;
}

std::string& otherSlot() noexcept {
    thread_local std::string text;
    return text;
}

using Boundary = platform::CBoundary<&testSlot>;
using OtherBoundary = platform::CBoundary<&otherSlot>;

std::string lastText() {
    char buffer[256];
    Boundary::copyLastError(buffer, sizeof buffer);
    return buffer;
}

TEST(c_boundary, each_ending_of_a_body_gives_its_result_and_text) {
    const struct {
        const char* name;
        std::function<int()> body;
        int result;
        std::string text;
    } cases[] = {
        {"success", [] { return 7; }, 7, ""},
        {"std exception", []() -> int { throw std::runtime_error("disk on fire"); }, -1,
         "disk on fire"},
        {"out of memory", []() -> int { throw std::bad_alloc(); }, -1, std::bad_alloc().what()},
        {"non-std throw", []() -> int { throw 42; }, -1, platform::kNonStandardExceptionText},
        {"reason given", [] { return Boundary::fail(0, "no such map"); }, 0, "no such map"},
        {"failure without reason", [] { return 0; }, 0, ""},
    };
    for (const auto& c : cases) {
        // A failure of an earlier call must not show through.
        Boundary::run(0, [] { return Boundary::fail(0, "earlier failure"); });
        EXPECT_EQ(Boundary::run(-1, c.body), c.result) << c.name;
        EXPECT_EQ(lastText(), c.text) << c.name;
        EXPECT_EQ(lastText(), c.text) << c.name << ": reading changed the text";
    }
}

TEST(c_boundary, void_exports_keep_the_text_too) {
    Boundary::run([] { throw std::logic_error("bad order"); });
    EXPECT_EQ(lastText(), "bad order");
    bool ran = false;
    Boundary::run([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(lastText(), "");
}

TEST(c_boundary, copy_cuts_to_the_buffer_and_gives_the_full_length) {
    Boundary::run(0, [] { return Boundary::fail(0, "cannot open roads.shp"); });
    const struct {
        int size;
        const char* expected;
    } cases[] = {
        {64, "cannot open roads.shp"}, {22, "cannot open roads.shp"}, {12, "cannot open"}, {1, ""}};
    for (const auto& c : cases) {
        char buffer[65]; // one more than the largest size, to see overruns
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(Boundary::copyLastError(buffer, c.size), 21) << c.size;
        EXPECT_STREQ(buffer, c.expected) << c.size;
        EXPECT_EQ(buffer[c.size], 'x') << c.size << ": written past the buffer";
    }
    char untouched = 'x';
    EXPECT_EQ(Boundary::copyLastError(&untouched, 0), 21);
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(Boundary::copyLastError(nullptr, 10), 21);
    char empty[2] = {'x', 'x'};
    EXPECT_TRUE(platform::copyToBuffer(std::string_view(), empty, sizeof empty));
    EXPECT_EQ(empty[0], '\0');
}

TEST(c_boundary, libraries_keep_separate_texts) {
    Boundary::run(0, [] { return Boundary::fail(0, "outer failed"); });
    // A library called by another clears and sets only its own text.
    OtherBoundary::run(0, [] { return 1; });
    OtherBoundary::run(0, [] { return OtherBoundary::fail(0, "inner failed"); });
    EXPECT_EQ(lastText(), "outer failed");
}

TEST(c_boundary, each_thread_reads_its_own_text) {
    std::latch bothFailed(2);
    std::latch firstSucceeded(2);
    std::string seen[2];
    auto worker = [&](int i) {
        const std::string why = "failure of thread " + std::to_string(i);
        Boundary::run(0, [&] { return Boundary::fail(0, why); });
        bothFailed.arrive_and_wait();
        if (i == 0)
            Boundary::run(0, [] { return 1; }); // clears thread 0's text only
        firstSucceeded.arrive_and_wait();
        seen[i] = lastText();
    };
    Boundary::run(0, [] { return Boundary::fail(0, "failure of the main thread"); });
    std::thread a(worker, 0);
    std::thread b(worker, 1);
    a.join();
    b.join();
    EXPECT_EQ(seen[0], "");
    EXPECT_EQ(seen[1], "failure of thread 1");
    EXPECT_EQ(lastText(), "failure of the main thread");
}

} // namespace
