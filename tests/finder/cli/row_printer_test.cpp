// kavrel-find's rows on a pipe: the first row is written at once, not held in
// the output buffer until it fills, so that a reader sees the answer begin.
#include "row_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace finder;

// What the pipe holds now, without waiting for more.
std::string pending(int fd) {
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(got));
    return text;
}

TEST(RowPrinter, the_first_row_of_each_format_reaches_a_pipe_before_the_buffer_fills) {
    const struct {
        const char* what;
        cli::RowFormat format;
        const char* starts;
    } cases[] = {
        {"tab-separated texts", {}, "a.shp\t/data\t"},
        {"paths ended by NUL", {-1, false, true, false}, "/data/a.shp"},
        {"JSON", {-1, false, false, true}, "{"},
    };
    for (const auto& c : cases) {
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
        std::FILE* out = ::fdopen(ends[1], "w");
        static char buffer[1 << 16];
        std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
        {
            cli::RowPrinter printer(c.format, out);
            FoundFile file;
            file.place("/data", "a.shp");
            file.size = 2048;
            printer.rowsFound({foundRow(file)});
            EXPECT_EQ(pending(ends[0]).rfind(c.starts, 0), 0u) << c.what;
        }
        std::fclose(out);
        ::close(ends[0]);
    }
}

} // namespace
