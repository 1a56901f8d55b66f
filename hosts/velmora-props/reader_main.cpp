// velmora-reader FILE: reads FILE's property pages for a host in another
// process (the GNOME Files module), which may end it at any time: the
// pages as opened, then after Count, as lines of reader_protocol.h.
// Exit 0 when both answers were written, 1 when the server gave no pages,
// 2 for a usage error.
// Test hook: KAVREL_READER_TEST_HOOK=hold:PATH waits while PATH exists
// before reading, =crash ends the reader by a signal before it answers,
// =write tries to write a file beside FILE first.
#include "page_texts.h"
#include "property_session.h"
#include "reader_protocol.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace velmorahost;

void write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void runTestHook(const std::string& file) {
    const char* hook = std::getenv("KAVREL_READER_TEST_HOOK");
    if (hook == nullptr)
        return;
    const std::string_view what(hook);
    if (what.starts_with("hold:")) {
        std::error_code ec;
        while (std::filesystem::exists(what.substr(5), ec))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } else if (what == "crash") {
        std::abort();
    } else if (what == "write") {
        std::ofstream(file + ".written") << "written by the reader\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] != '/') {
        std::fputs("usage: velmora-reader FULL-PATH\n", stderr);
        return 2;
    }
    const std::string file = argv[1];
    runTestHook(file);
    PropertySession session;
    if (!session.open({file})) {
        write(encodeError(session.error()));
        return 1;
    }
    write(encodeSheet(readPages(session)));
    pressAllButtons(session);
    write(encodeSheet(readPages(session)));
    session.close();
    return 0;
}
