#include "platform/clipboard.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(clipboard, numbers_names_from_0xC000_once_per_process) {
    const unsigned shell = platform::RegisterClipboardFormat("Shell IDList Array");
    EXPECT_GE(shell, 0xC000u);
    EXPECT_LE(shell, 0xFFFFu);
    EXPECT_EQ(platform::RegisterClipboardFormat("Shell IDList Array"), shell);
    EXPECT_EQ(platform::RegisterClipboardFormat("SHELL IDLIST ARRAY"), shell);
    EXPECT_EQ(platform::clipboardFormatName(shell), "Shell IDList Array");

    const unsigned other = platform::RegisterClipboardFormat("Atlion Find Rows");
    EXPECT_NE(other, shell);
    EXPECT_GE(other, 0xC000u);
    EXPECT_EQ(platform::RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(platform::clipboardFormatName(platform::CF_HDROP), "");
    EXPECT_EQ(platform::clipboardFormatName(0xFFFF), "");
}

TEST(clipboard, threads_registering_one_name_get_one_number) {
    std::vector<unsigned> got(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < got.size(); ++i)
        threads.emplace_back([&, i] {
            for (int k = 0; k < 50; ++k)
                platform::RegisterClipboardFormat("name " + std::to_string(k));
            got[i] = platform::RegisterClipboardFormat("raced name");
        });
    for (auto& t : threads)
        t.join();
    for (const unsigned n : got)
        EXPECT_EQ(n, got[0]);
    EXPECT_EQ(platform::clipboardFormatName(got[0]), "raced name");
}

} // namespace
