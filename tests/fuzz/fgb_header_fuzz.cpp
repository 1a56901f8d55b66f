// FlatGeobuf header: any bytes give a header only with the magic bytes and a
// table within the stated size; every string and vector read lies within
// the input; nothing is read outside it.
#include "fgb_header.h"
#include "fuzz_check.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header = strand32::readFgbHeader(size, fuzz::memoryBytes(data, size));
    if (header) {
        FUZZ_CHECK(size >= 12 && std::memcmp(data, "fgb\x03", 4) == 0);
        FUZZ_CHECK(header->geometryType >= 0 && header->geometryType <= 17);
        FUZZ_CHECK(header->name.size() <= size && header->crsWkt.size() <= size);
        FUZZ_CHECK(header->envelope.size() * 8 <= size);
    }
    return 0;
}
