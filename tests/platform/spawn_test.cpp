#include "platform/spawn.h"

#include "process_gone.h"
#include "temp_dir.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(spawn, hands_every_argument_over_whole) {
    testsupport::TempDir dir;
    const std::string out = dir / "args out.txt";
    const auto result = platform::spawnProgram({"/bin/sh", "-c", "printf '%s\\n' \"$@\" > \"$0\"",
                                                out, "C:/My Maps/roads.shp", "  leading",
                                                "quote\"s and 'ticks'", "$HOME", "*.shp", ""});
    ASSERT_TRUE(result.started) << result.errorText;
    EXPECT_GT(result.pid, 0);
    EXPECT_EQ(platform::waitProgram(result.pid), 0);
    EXPECT_EQ(testsupport::TempDir::readFile(out),
              "C:/My Maps/roads.shp\n  leading\nquote\"s and 'ticks'\n$HOME\n*.shp\n\n");
}

TEST(spawn, reports_a_program_that_cannot_start) {
    const auto missing = platform::spawnProgram({"/no/such/viewer", "file.shp"});
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_FALSE(missing.errorText.empty());
    EXPECT_FALSE(platform::spawnProgram({}).started);
    EXPECT_EQ(platform::waitProgram(missing.pid), -1);
}

TEST(spawn, leaves_no_zombie_behind) {
    const auto result = platform::spawnProgram({"/bin/sh", "-c", "exit 3"});
    ASSERT_TRUE(result.started);
    // Without anyone waiting the child is reaped: no process entry, not even
    // a zombie, is left under its number.
    EXPECT_TRUE(testsupport::processGone(result.pid));
    EXPECT_EQ(platform::waitProgram(result.pid), 3); // its status was kept
    EXPECT_EQ(platform::waitProgram(result.pid), -1);
}

} // namespace
