// Companion stamps written to and read from one blob.
#include "companion_blob.h"

#include <cstdint>

namespace finder {
namespace {

constexpr std::size_t kMaxNameBytes = 4096;

void put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

bool take(std::string_view& in, std::uint64_t& value, int bytes) {
    if (in.size() < static_cast<std::size_t>(bytes))
        return false;
    value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(in[static_cast<std::size_t>(i)]);
    in.remove_prefix(static_cast<std::size_t>(bytes));
    return true;
}

} // namespace

std::string encodeCompanions(const std::vector<CompanionStamp>& companions) {
    std::string out;
    for (const CompanionStamp& c : companions) {
        put(out, c.name.size(), 4);
        out += c.name;
        put(out, c.stamp.device, 8);
        put(out, c.stamp.inode, 8);
        put(out, c.stamp.size, 8);
        put(out, static_cast<std::uint64_t>(c.stamp.modifiedNs), 8);
    }
    return out;
}

std::optional<std::vector<CompanionStamp>> decodeCompanions(std::string_view blob) {
    std::vector<CompanionStamp> companions;
    while (!blob.empty()) {
        std::uint64_t length = 0;
        if (!take(blob, length, 4) || length > kMaxNameBytes || blob.size() < length)
            return std::nullopt;
        CompanionStamp c;
        c.name.assign(blob.substr(0, length));
        blob.remove_prefix(length);
        std::uint64_t modified = 0;
        if (!take(blob, c.stamp.device, 8) || !take(blob, c.stamp.inode, 8) ||
            !take(blob, c.stamp.size, 8) || !take(blob, modified, 8))
            return std::nullopt;
        c.stamp.modifiedNs = static_cast<std::int64_t>(modified);
        companions.push_back(std::move(c));
    }
    return companions;
}

} // namespace finder
