#pragma once
// Bytes of a file taken at an offset, as the header readers read them: from
// a RegularFile, or from memory in the tests and fuzzers; and the
// little-endian numbers the headers hold.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace strand32 {

// Reads `size` bytes at `offset` into `out`; false when they are not there.
using ReadBytes = std::function<bool(std::uint64_t offset, std::size_t size, unsigned char* out)>;

inline std::uint64_t littleEndian(const unsigned char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

inline std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(littleEndian(p, 2));
}
inline std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(littleEndian(p, 4));
}
inline std::uint64_t le64(const unsigned char* p) {
    return littleEndian(p, 8);
}
inline double leDouble(const unsigned char* p) {
    const std::uint64_t bits = le64(p);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace strand32
