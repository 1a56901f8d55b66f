// Companion stamps written to and read from one blob.
#include "companion_blob.h"

#include "blob_bytes.h"

#include <cstdint>

namespace finder {
namespace {

constexpr std::size_t kMaxNameBytes = 4096;

} // namespace

using blob::put;
using blob::take;

std::string encodeCompanions(const std::vector<CompanionStamp>& companions) {
    std::string out;
    for (const CompanionStamp& c : companions) {
        blob::putText(out, c.name);
        put(out, c.stamp.device, 8);
        put(out, c.stamp.inode, 8);
        put(out, c.stamp.size, 8);
        put(out, static_cast<std::uint64_t>(c.stamp.modifiedNs), 8);
    }
    return out;
}

std::optional<std::vector<CompanionStamp>> decodeCompanions(std::string_view in) {
    std::vector<CompanionStamp> companions;
    while (!in.empty()) {
        CompanionStamp c;
        std::uint64_t modified = 0;
        if (!blob::takeText(in, c.name, kMaxNameBytes) || !take(in, c.stamp.device, 8) ||
            !take(in, c.stamp.inode, 8) || !take(in, c.stamp.size, 8) || !take(in, modified, 8))
            return std::nullopt;
        c.stamp.modifiedNs = static_cast<std::int64_t>(modified);
        companions.push_back(std::move(c));
    }
    return companions;
}

} // namespace finder
