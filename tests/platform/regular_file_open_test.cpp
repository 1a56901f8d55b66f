#include "platform/regular_file_open.h"

#include "special_files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

using testsupport::TempDir;

// Only regular files open, links to them included; nothing else is opened,
// as inotify shows (a pipe nobody writes to would otherwise make the open
// wait, and some devices act on open).
TEST(regular_file_open, only_regular_files_open_and_the_rest_say_what_they_are) {
    const TempDir dir;
    const std::string file = dir.writeFile("data.shp", "12345");
    dir.writeFile("folder.shp/inside");
    testsupport::makeLink(file, dir / "link.shp");
    testsupport::makeFifo(dir / "pipe.shp");
    testsupport::makeSocket(dir / "socket.shp");
    testsupport::makeLink("/dev/zero", dir / "zero.tif");
    testsupport::makeLink(dir / "missing.shp", dir / "dangling.shp");
    const struct {
        std::string name;
        int error; // 0: opens
    } cases[] = {
        {"data.shp", 0},         {"link.shp", 0},          {"folder.shp", EISDIR},
        {"pipe.shp", EINVAL},    {"socket.shp", EINVAL},   {"zero.tif", EINVAL},
        {"missing.shp", ENOENT}, {"dangling.shp", ENOENT}, {"data.shp/x", ENOTDIR},
    };
    for (const auto& c : cases) {
        // Opens of what the name leads to are seen through inotify; names
        // that lead nowhere cannot be watched (and cannot be opened).
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        const bool watched = ::inotify_add_watch(watch, (dir / c.name).c_str(), IN_OPEN) >= 0;
        struct stat info {};
        errno = 0;
        const int fd = platform::openRegularFileForReading((dir / c.name).c_str(), info);
        const int error = errno;
        alignas(inotify_event) char events[4096];
        const bool opened = ::read(watch, events, sizeof events) > 0;
        ::close(watch);
        if (watched) {
            EXPECT_EQ(opened, c.error == 0) << c.name << ": opened only when it is a regular file";
        }
        if (c.error == 0) {
            EXPECT_GE(fd, 0) << c.name;
            EXPECT_EQ(info.st_size, 5) << c.name;
            char bytes[5] = {};
            EXPECT_EQ(::read(fd, bytes, sizeof bytes), 5) << c.name << ": the descriptor reads";
        } else {
            EXPECT_EQ(fd, -1) << c.name;
            EXPECT_EQ(error, c.error) << c.name;
        }
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace
