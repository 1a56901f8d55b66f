#pragma once
// The image-filter interface of the ADRG reader plug-in: the records a host
// shares with it and the signatures of its exports. A host loads the library
// and looks the exports up by name; the plug-in links nothing of the host.
#include <cstdint>

namespace rastrel {

// Every host file procedure takes three values; unused ones are passed as 0.
using HostProc = std::uintptr_t (*)(std::uintptr_t, std::uintptr_t, std::uintptr_t);

// Host procedures, in slot order.
//   open(path text, 0, pointer to a file value): 1 when the file is open and
//        its value (never 0) stored;
//   close(file value, 0, 0);
//   read(file value, buffer, byte count): the number of bytes read
//        (kHostError on failure);
//   seek(file value, offset from the start, 0): the new position
//        (kHostError on failure).
struct HostFileProcs {
    HostProc open;
    HostProc close;
    HostProc read;
    HostProc unused;
    HostProc seek;
};

constexpr std::uintptr_t kHostError = ~std::uintptr_t{0};

// Filled by IMDLbuildDIBhead: word 0 untouched, word 1 the locked bitmap
// information block, word 2 zero, word 3 the width, word 4 the height.
struct DibHeadRecord {
    std::uintptr_t word[5];
};

// Result codes of the exports.
enum Status : std::int32_t {
    kFailed = 0,
    kOk = 1,
    kBadSet = 3,
    kOpenFailed = 4,
    kPrintResult = 5,
    kNoMemory = 6,
    kBadHandle = 8,
    kEscapeResult = 9,
};

// Bytes of one bitmap information block: a 40-byte header and 216 colours.
constexpr std::uint32_t kDibBlockSize = 904;

} // namespace rastrel

extern "C" {
std::uintptr_t IMDLget_ver();
std::int32_t IMDLverify_img(std::uintptr_t head, std::uintptr_t, std::uintptr_t);
std::int32_t IMDLinit_image(std::uintptr_t path, std::uintptr_t handleOut, std::uintptr_t file,
                            std::uintptr_t hostValue, std::uintptr_t, std::uintptr_t procs);
std::int32_t IMDLopen(std::uintptr_t image, std::uintptr_t);
std::int32_t IMDLbuildDIBhead(std::uintptr_t image, std::uintptr_t record);
std::int32_t IMDLset_row(std::uintptr_t image, std::int32_t row);
std::int32_t IMDLread_rows(std::uintptr_t image, std::uintptr_t buffer, std::int32_t rows,
                           std::int32_t bytesPerRow, std::int32_t firstColumn, std::uintptr_t);
std::int32_t IMDLimg_name(std::uintptr_t image, std::uintptr_t nameOut);
std::int32_t IMDLclose_keep(std::uintptr_t image);
std::int32_t IMDLclose_image(std::uintptr_t image);
std::int32_t IMDLerror_string(std::uintptr_t buffer, std::int32_t size);
std::int32_t IMDLset_ext(std::uintptr_t, std::uintptr_t);
std::int32_t IMDLescape(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t);
std::int32_t IMDLprint(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t);
std::int32_t IMDLrender(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t);
}
