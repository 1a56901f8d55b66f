#include "test_host.h"

#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace adrgtest {

namespace {

HostCalls g_calls;
bool g_openFails = false;

std::uintptr_t hostOpen(std::uintptr_t path, std::uintptr_t, std::uintptr_t fileOut) {
    ++g_calls.opens;
    if (g_openFails)
        return 0;
    const int fd = ::open(reinterpret_cast<const char*>(path), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    *reinterpret_cast<std::uintptr_t*>(fileOut) = std::uintptr_t(fd) + 1;
    return 1;
}

std::uintptr_t hostClose(std::uintptr_t file, std::uintptr_t, std::uintptr_t) {
    ++g_calls.closes;
    g_calls.closedFiles.push_back(file);
    if (file > 1000) // values that tests pass in as "already open" files
        return 0;
    ::close(int(file) - 1);
    return 0;
}

std::uintptr_t hostRead(std::uintptr_t file, std::uintptr_t buffer, std::uintptr_t count) {
    ++g_calls.reads;
    const ssize_t got = ::read(int(file) - 1, reinterpret_cast<void*>(buffer), count);
    return got < 0 ? rastrel::kHostError : std::uintptr_t(got);
}

std::uintptr_t hostSeek(std::uintptr_t file, std::uintptr_t offset, std::uintptr_t) {
    ++g_calls.seeks;
    const off_t at = ::lseek(int(file) - 1, off_t(offset), SEEK_SET);
    return at < 0 ? rastrel::kHostError : std::uintptr_t(at);
}

const rastrel::HostFileProcs g_procs{hostOpen, hostClose, hostRead, nullptr, hostSeek};

template <typename T> void resolve(void* library, T& slot, const char* name) {
    slot = reinterpret_cast<T>(dlsym(library, name));
    if (!slot)
        throw std::runtime_error(std::string("export missing: ") + name);
}

Exports load() {
    void* library = dlopen(pluginPath(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw std::runtime_error(dlerror());
    Exports e{};
    resolve(library, e.getVer, "IMDLget_ver");
    resolve(library, e.verifyImg, "IMDLverify_img");
    resolve(library, e.initImage, "IMDLinit_image");
    resolve(library, e.open, "IMDLopen");
    resolve(library, e.buildDibHead, "IMDLbuildDIBhead");
    resolve(library, e.setRow, "IMDLset_row");
    resolve(library, e.readRows, "IMDLread_rows");
    resolve(library, e.imgName, "IMDLimg_name");
    resolve(library, e.closeKeep, "IMDLclose_keep");
    resolve(library, e.closeImage, "IMDLclose_image");
    resolve(library, e.errorString, "IMDLerror_string");
    resolve(library, e.setExt, "IMDLset_ext");
    resolve(library, e.escape, "IMDLescape");
    resolve(library, e.print, "IMDLprint");
    resolve(library, e.render, "IMDLrender");
    return e;
}

} // namespace

const char* pluginPath() {
    return RASTREL_LIBRARY;
}

const Exports& plugin() {
    static const Exports exports = load();
    return exports;
}

std::string errorText() {
    char text[128];
    std::memset(text, 'x', sizeof text);
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

OpenImage::OpenImage(const std::string& path) : path_(path) {
    status_ = plugin().initImage(reinterpret_cast<std::uintptr_t>(path_.c_str()),
                                 reinterpret_cast<std::uintptr_t>(&handle_), 0, 0, 0,
                                 reinterpret_cast<std::uintptr_t>(hostProcs()));
    if (status_ == rastrel::kOk)
        status_ = plugin().open(handle_, 0);
}

OpenImage::~OpenImage() {
    if (handle_ != 0)
        plugin().closeImage(handle_);
}

std::vector<std::uint8_t> OpenImage::read(std::int32_t row, std::int32_t rows,
                                          std::int32_t bytesPerRow, std::int32_t firstColumn) {
    std::vector<std::uint8_t> buffer(std::size_t(rows) * std::size_t(bytesPerRow), 0xEE);
    plugin().setRow(handle_, row);
    if (plugin().readRows(handle_, reinterpret_cast<std::uintptr_t>(buffer.data()), rows,
                          bytesPerRow, firstColumn, 0) != rastrel::kOk)
        throw std::runtime_error("IMDLread_rows failed");
    return buffer;
}

std::vector<std::uint8_t> OpenImage::readAll(std::int32_t width, std::int32_t height,
                                             std::int32_t band) {
    std::vector<std::uint8_t> image(std::size_t(width) * std::size_t(height));
    for (std::int32_t top = 0; top < height; top += band) {
        const std::int32_t rows = std::min(band, height - top);
        const auto got = read(top, rows, width);
        for (std::int32_t i = 0; i < rows; ++i)
            std::memcpy(image.data() + std::size_t(top + rows - 1 - i) * std::size_t(width),
                        got.data() + std::size_t(i) * std::size_t(width), std::size_t(width));
    }
    return image;
}

} // namespace adrgtest
