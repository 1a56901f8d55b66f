#include "test_host.h"

#include "host_files.h"

#include <stdexcept>

namespace adrgtest {

namespace {

HostCalls g_calls;
bool g_openFails = false;

const rastrel::HostFileProcs& real() {
    return imdlhost::hostFileProcs();
}

std::uintptr_t countedOpen(std::uintptr_t path, std::uintptr_t, std::uintptr_t fileOut) {
    ++g_calls.opens;
    return g_openFails ? 0 : real().open(path, 0, fileOut);
}

std::uintptr_t countedClose(std::uintptr_t file, std::uintptr_t, std::uintptr_t) {
    ++g_calls.closes;
    g_calls.closedFiles.push_back(file);
    // Values above 1000 stand for files a test claims the host opened.
    return file > 1000 ? 0 : real().close(file, 0, 0);
}

std::uintptr_t countedRead(std::uintptr_t file, std::uintptr_t buffer, std::uintptr_t count) {
    ++g_calls.reads;
    return real().read(file, buffer, count);
}

const rastrel::HostFileProcs g_procs{countedOpen, countedClose, countedRead, nullptr,
                                     imdlhost::hostFileProcs().seek};

} // namespace

const char* pluginPath() {
    return RASTREL_LIBRARY;
}

const imdlhost::PluginExports& plugin() {
    static imdlhost::PluginLibrary library;
    static const bool loaded = library.load(pluginPath());
    if (!loaded)
        throw std::runtime_error(library.error());
    return library.exports();
}

std::string errorText() {
    char text[128] = "unset";
    plugin().errorString(reinterpret_cast<std::uintptr_t>(text), sizeof text);
    return text;
}

HostCalls& hostCalls() {
    return g_calls;
}

void resetHostCalls() {
    g_calls = HostCalls{};
    g_openFails = false;
}

void setOpenFails(bool fails) {
    g_openFails = fails;
}

const rastrel::HostFileProcs* hostProcs() {
    return &g_procs;
}

OpenImage::OpenImage(const std::string& path) : ImageSession(plugin(), hostProcs()) {
    open(path);
}

std::vector<std::uint8_t> OpenImage::read(std::int32_t row, std::int32_t rows,
                                          std::int32_t bytesPerRow, std::int32_t firstColumn) {
    std::vector<std::uint8_t> buffer(std::size_t(rows) * std::size_t(bytesPerRow), 0xEE);
    if (!readRows(row, rows, bytesPerRow, firstColumn, buffer.data()))
        throw std::runtime_error(failure());
    return buffer;
}

std::vector<std::uint8_t> OpenImage::readAll(std::int32_t width, std::int32_t height,
                                             std::int32_t band) {
    std::vector<std::uint8_t> image;
    if (!readIndices({width, height, 8, {}}, band, image))
        throw std::runtime_error(failure());
    return image;
}

} // namespace adrgtest
