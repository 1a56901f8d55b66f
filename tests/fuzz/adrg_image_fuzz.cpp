// An ADRG set read through the plug-in's exports: the general-information
// text and the image file are written into a temporary folder, opened as a
// host opens them, and rows are read at places the input chooses.
// Input: 4 bytes of read request (flags and row width, row, rows, column),
// the .GEN text, the separator "----IMG----", then the bytes of the image file.
#include "fuzz_check.h"
#include "host_files.h"
#include "rastrel/imdl.h"
#include "temp_folder.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kSeparator = "----IMG----";

struct Request {
    bool overview, reopen;
    std::int32_t bytesPerRow, row, rows, firstColumn;
};

// Rows read as the host reads them: bottom-up into a buffer of whole rows
// (one buffer for every run: a fresh one would cost more than the read).
void readRows(std::uintptr_t image, std::int32_t row, std::int32_t rows, std::int32_t bytesPerRow,
              std::int32_t firstColumn) {
    static std::vector<std::uint8_t> buffer;
    buffer.resize(std::max(buffer.size(), std::size_t(rows) * std::size_t(bytesPerRow)));
    FUZZ_CHECK(IMDLset_row(image, row) == rastrel::kOk);
    FUZZ_CHECK(IMDLread_rows(image, reinterpret_cast<std::uintptr_t>(buffer.data()), rows,
                             bytesPerRow, firstColumn, 0) == rastrel::kOk);
}

// The request, then the top left 1024 x 1024 pixels (8 x 8 tiles) in bands,
// as a host reads a whole image; pixels beyond the image come as the fill.
void readImage(std::uintptr_t image, const Request& request) {
    readRows(image, request.row, request.rows, request.bytesPerRow, request.firstColumn);
    if (request.reopen) {
        FUZZ_CHECK(IMDLclose_keep(image) == rastrel::kOk);
        if (IMDLopen(image, 0) != rastrel::kOk)
            return;
    }
    for (std::int32_t row = 0; row < 1024; row += 128)
        readRows(image, row, 128, 1024, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testsupport::TempDir folder;
    if (size < 4)
        return 0;
    const Request request{(data[0] & 1) != 0,      (data[0] & 2) != 0,
                          1 + (data[0] >> 2) * 17, static_cast<std::int8_t>(data[1]) * 16,
                          1 + data[2] % 160,       static_cast<std::int8_t>(data[3]) * 8};
    std::string_view rest = fuzz::text(data + 4, size - 4);
    const auto split = std::min(rest.find(kSeparator), rest.size());
    const std::string_view gen = rest.substr(0, split);
    rest.remove_prefix(std::min(split + kSeparator.size(), rest.size()));

    std::string head(gen.substr(0, 99));
    head.resize(99, '\0');
    IMDLverify_img(reinterpret_cast<std::uintptr_t>(head.data()), 0, 0);

    fuzz::rewrite(folder, "ABCDEF01.GEN", gen);
    const std::string path =
        fuzz::rewrite(folder, request.overview ? "ABCDEF01.OVR" : "ABCDEF01.IMG", rest);
    std::uintptr_t image = 0;
    const auto procs = reinterpret_cast<std::uintptr_t>(&imdlhost::hostFileProcs());
    if (IMDLinit_image(reinterpret_cast<std::uintptr_t>(path.c_str()),
                       reinterpret_cast<std::uintptr_t>(&image), 0, 0, 0, procs) != rastrel::kOk)
        return 0;
    FUZZ_CHECK(image != 0);
    // (The bitmap header block is left out: it belongs to the host, which
    // cannot free it, so every run would keep one.)
    if (IMDLopen(image, 0) == rastrel::kOk)
        readImage(image, request);
    FUZZ_CHECK(IMDLclose_keep(image) == rastrel::kOk);
    FUZZ_CHECK(IMDLclose_image(image) == rastrel::kOk);
    return 0;
}
