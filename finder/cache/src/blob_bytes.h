#pragma once
// Little-endian numbers and length-prefixed texts in the cache's blobs.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace finder::blob {

inline void put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

inline bool take(std::string_view& in, std::uint64_t& value, int bytes) {
    if (in.size() < static_cast<std::size_t>(bytes))
        return false;
    value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(in[static_cast<std::size_t>(i)]);
    in.remove_prefix(static_cast<std::size_t>(bytes));
    return true;
}

inline void putDouble(std::string& out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    put(out, bits, 8);
}

inline bool takeDouble(std::string_view& in, double& value) {
    std::uint64_t bits = 0;
    if (!take(in, bits, 8))
        return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

// A 32-bit length, then the bytes.
inline void putText(std::string& out, std::string_view text) {
    put(out, text.size(), 4);
    out += text;
}

inline bool takeText(std::string_view& in, std::string& text, std::size_t maxBytes) {
    std::uint64_t length = 0;
    if (!take(in, length, 4) || length > maxBytes || in.size() < length)
        return false;
    text.assign(in.substr(0, length));
    in.remove_prefix(length);
    return true;
}

} // namespace finder::blob
