#pragma once
// What every harness shares: a check of a property that must hold for any
// input, reported as a crash so libFuzzer keeps the input that broke it, and
// the input seen as text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input as a file read at offsets, for the header readers: a read
// outside the input is a property failure (readers check before reading).
inline auto memoryBytes(const std::uint8_t* data, std::size_t size) {
    return [data, size](std::uint64_t at, std::size_t n, unsigned char* out) {
        FUZZ_CHECK(at <= size && n <= size - at);
        std::memcpy(out, data + at, n);
        return true;
    };
}

} // namespace fuzz
