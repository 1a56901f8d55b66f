#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace platform;

namespace {

bool allZero(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
}

TEST(global_memory, blocks_start_zeroed_and_keep_their_contents_across_locks) {
    const HGLOBAL block = GlobalAlloc(GHND | GMEM_SHARE, 5000);
    ASSERT_NE(block, 0u);
    EXPECT_EQ(GlobalSize(block), 5000u);
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(allZero(data, 5000));
    std::memset(data, 0xAB, 5000);
    EXPECT_FALSE(GlobalUnlock(block)); // lock count back to 0
    auto* again = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[0], 0xAB);
    EXPECT_EQ(again[4999], 0xAB);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), 0u);
}

TEST(global_memory, nested_locks_are_counted) {
    const HGLOBAL block = GlobalAlloc(GHND, 16);
    ASSERT_NE(GlobalLock(block), nullptr);
    ASSERT_NE(GlobalLock(block), nullptr);
    EXPECT_TRUE(GlobalUnlock(block));  // still locked once
    EXPECT_FALSE(GlobalUnlock(block)); // now unlocked
    EXPECT_FALSE(GlobalUnlock(block)); // unlocking an unlocked block
    GlobalFree(block);
}

TEST(global_memory, growing_keeps_contents_and_zero_fills_the_rest) {
    const HGLOBAL block = GlobalAlloc(GHND, 8);
    std::memcpy(GlobalLock(block), "ABCDEFGH", 8);
    GlobalUnlock(block);
    ASSERT_EQ(GlobalReAlloc(block, 4096, GMEM_ZEROINIT), block);
    EXPECT_EQ(GlobalSize(block), 4096u);
    const auto* data = static_cast<const char*>(GlobalLock(block));
    EXPECT_EQ(std::memcmp(data, "ABCDEFGH", 8), 0);
    EXPECT_TRUE(allZero(data + 8, 4096 - 8));
    // A locked block only moves when the caller allows it.
    EXPECT_EQ(GlobalReAlloc(block, 8192, 0), 0u);
    EXPECT_EQ(GlobalSize(block), 4096u);
    EXPECT_EQ(GlobalReAlloc(block, 4, GMEM_MOVEABLE), block);
    EXPECT_EQ(std::memcmp(GlobalLock(block), "ABCD", 4), 0);
    GlobalFree(block);
}

TEST(global_memory, values_that_are_not_live_blocks_are_refused) {
    const HGLOBAL freed = GlobalAlloc(GHND, 32);
    ASSERT_EQ(GlobalFree(freed), 0u);
    const HGLOBAL live = GlobalAlloc(GHND, 32);
    std::mt19937_64 random(7);
    std::vector<HGLOBAL> values = {0, freed, 1, 0xFFFFFFFF, ~HGLOBAL{0}, live + 1, live - 1};
    for (int i = 0; i < 200; ++i)
        values.push_back(random());
    for (HGLOBAL value : values) {
        if (value == live)
            continue;
        SCOPED_TRACE(value);
        EXPECT_EQ(GlobalLock(value), nullptr);
        EXPECT_FALSE(GlobalUnlock(value));
        EXPECT_EQ(GlobalSize(value), 0u);
        EXPECT_FALSE(GlobalIsLive(value));
        EXPECT_EQ(GlobalReAlloc(value, 64, GMEM_MOVEABLE), 0u);
        EXPECT_EQ(GlobalFree(value), value);
    }
    // A freed handle is never handed out again.
    for (int i = 0; i < 100; ++i) {
        const HGLOBAL fresh = GlobalAlloc(GHND, 1);
        EXPECT_NE(fresh, freed);
        GlobalFree(fresh);
    }
    EXPECT_TRUE(GlobalIsLive(live));
    GlobalFree(live);
}

TEST(global_memory, owner_frees_its_block_unless_released) {
    const std::size_t before = GlobalLiveCount();
    HGLOBAL released = 0;
    {
        GlobalBlock kept(GlobalAlloc(GHND, 10));
        GlobalBlock moved(GlobalAlloc(GHND, 10));
        GlobalBlock target;
        target = std::move(moved);
        EXPECT_EQ(moved.get(), 0u);
        EXPECT_EQ(GlobalLiveCount(), before + 2);
        released = kept.release();
    }
    EXPECT_EQ(GlobalLiveCount(), before + 1);
    EXPECT_TRUE(GlobalIsLive(released));
    GlobalFree(released);
    EXPECT_EQ(GlobalLiveCount(), before);
}

} // namespace
