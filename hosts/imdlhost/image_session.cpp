#include "image_session.h"

#include "host_files.h"

#include <algorithm>
#include <cstring>

namespace imdlhost {

namespace {

std::uint32_t get32(const std::uint8_t* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

constexpr std::uint32_t kHeaderSize = 40;
constexpr std::uint32_t kMaxColours = (rastrel::kDibBlockSize - kHeaderSize) / 4;

} // namespace

ImageSession::ImageSession(const PluginExports& exports, const rastrel::HostFileProcs* procs)
    : exports_(exports), procs_(procs ? procs : &hostFileProcs()) {}

ImageSession::~ImageSession() {
    if (image_ != 0) {
        exports_.closeKeep(image_);
        exports_.closeImage(image_);
    }
}

bool ImageSession::check(std::int32_t status, const char* what) {
    status_ = status;
    if (status == rastrel::kOk)
        return true;
    failure_ = std::string(what) + " answered " + std::to_string(status);
    return false;
}

bool ImageSession::open(const std::string& path) {
    path_ = path;
    std::uintptr_t handle = 0;
    if (!check(exports_.initImage(reinterpret_cast<std::uintptr_t>(path_.c_str()),
                                  reinterpret_cast<std::uintptr_t>(&handle), 0, 0, 0,
                                  reinterpret_cast<std::uintptr_t>(procs_)),
               "IMDLinit_image"))
        return false;
    image_ = handle;
    return check(exports_.open(image_, 0), "IMDLopen");
}

bool ImageSession::readHeader(ImageHeader& header) {
    rastrel::DibHeadRecord record{};
    if (!check(exports_.buildDibHead(image_, reinterpret_cast<std::uintptr_t>(&record)),
               "IMDLbuildDIBhead"))
        return false;
    const auto* block = reinterpret_cast<const std::uint8_t*>(record.word[1]);
    header.width = static_cast<std::int32_t>(record.word[3]);
    header.height = static_cast<std::int32_t>(record.word[4]);
    header.bitsPerPixel = static_cast<std::int32_t>(block[14] | block[15] << 8);
    // Never take more colours than the block holds.
    std::uint32_t count = get32(block + 32);
    if (count == 0 || count > kMaxColours)
        count = kMaxColours;
    header.colours.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = block + kHeaderSize + 4 * i;
        header.colours.push_back(std::uint32_t(entry[2]) << 16 | std::uint32_t(entry[1]) << 8 |
                                 entry[0]);
    }
    return true;
}

bool ImageSession::readRows(std::int32_t row, std::int32_t rows, std::int32_t bytesPerRow,
                            std::int32_t firstColumn, std::uint8_t* buffer) {
    return check(exports_.setRow(image_, row), "IMDLset_row") &&
           check(exports_.readRows(image_, reinterpret_cast<std::uintptr_t>(buffer), rows,
                                   bytesPerRow, firstColumn, 0),
                 "IMDLread_rows");
}

bool ImageSession::readIndices(const ImageHeader& header, std::int32_t band,
                               std::vector<std::uint8_t>& out) {
    const std::size_t width = std::size_t(std::max(header.width, 0));
    const std::int32_t height = std::max(header.height, 0);
    out.assign(width * std::size_t(height), 0);
    if (width == 0)
        return true;
    band = std::min(band, std::max(height, 1));
    std::vector<std::uint8_t> buffer(width * std::size_t(band));
    for (std::int32_t top = 0; top < height; top += band) {
        const std::int32_t rows = std::min(band, height - top);
        if (!readRows(top, rows, header.width, 0, buffer.data()))
            return false;
        // The band arrives bottom-up: its first row is the last image row asked.
        for (std::int32_t i = 0; i < rows; ++i)
            std::memcpy(out.data() + std::size_t(top + rows - 1 - i) * width,
                        buffer.data() + std::size_t(i) * width, width);
    }
    return true;
}

} // namespace imdlhost
