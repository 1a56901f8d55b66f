// FlatGeobuf: 8 magic bytes ("fgb", 3, "fgb", patch), the header's size
// (32-bit little-endian), then the header as a size-prefixed FlatBuffers
// root table. A table starts with a signed offset back to its vtable; the
// vtable lists, per field, the field's offset in the table (0 = absent);
// strings, vectors and sub-tables are reached by unsigned offsets from
// where the offset is stored.
#include "fgb_header.h"

#include <cstring>

namespace strand32 {
namespace {

class FlatBuffer {
public:
    explicit FlatBuffer(const std::vector<unsigned char>& bytes) : b_(bytes) {}

    bool has(std::uint64_t at, std::uint64_t n) const {
        return at <= b_.size() && n <= b_.size() - at;
    }
    std::uint32_t u32(std::uint64_t at) const { return le32(b_.data() + at); }

    // Where table `table`'s field `index` lies; 0 when absent or malformed.
    std::uint64_t field(std::uint64_t table, int index, std::uint64_t size) const {
        if (!has(table, 4))
            return 0;
        const auto back = static_cast<std::int32_t>(u32(table));
        const std::int64_t vtable = static_cast<std::int64_t>(table) - back;
        if (vtable < 0 || !has(static_cast<std::uint64_t>(vtable), 4))
            return 0;
        const auto vt = static_cast<std::uint64_t>(vtable);
        const std::uint16_t vtSize = le16(b_.data() + vt);
        const std::uint64_t slot = 4 + 2 * static_cast<std::uint64_t>(index);
        if (vtSize < slot + 2 || !has(vt, vtSize))
            return 0;
        const std::uint16_t offset = le16(b_.data() + vt + slot);
        if (offset == 0 || !has(table + offset, size))
            return 0;
        return table + offset;
    }
    // The target of the unsigned offset stored at `at`; 0 when outside.
    std::uint64_t follow(std::uint64_t at) const {
        if (at == 0 || !has(at, 4))
            return 0;
        const std::uint64_t to = at + u32(at);
        return has(to, 4) ? to : 0;
    }
    bool string(std::uint64_t at, std::string& out) const {
        const std::uint64_t s = follow(at);
        if (s == 0)
            return false;
        const std::uint32_t n = u32(s);
        if (!has(s + 4, n))
            return false;
        out.assign(reinterpret_cast<const char*>(b_.data() + s + 4), n);
        return true;
    }
    bool doubles(std::uint64_t at, std::vector<double>& out) const {
        const std::uint64_t v = follow(at);
        if (v == 0)
            return false;
        const std::uint32_t n = u32(v);
        if (!has(v + 4, std::uint64_t{n} * 8))
            return false;
        out.resize(n);
        for (std::uint32_t i = 0; i < n; ++i)
            out[i] = leDouble(b_.data() + v + 4 + 8 * i);
        return true;
    }
    std::uint8_t byte(std::uint64_t at) const { return b_[at]; }
    std::uint64_t u64(std::uint64_t at) const { return le64(b_.data() + at); }

private:
    const std::vector<unsigned char>& b_;
};

enum HeaderField {
    kName = 0,
    kEnvelope = 1,
    kGeometryType = 2,
    kHasZ = 3,
    kHasM = 4,
    kFeaturesCount = 8,
    kCrs = 10
};
enum CrsField { kOrg = 0, kCode = 1, kWkt = 4 };

// A present field that cannot be read makes the header malformed.
bool readOptionalString(const FlatBuffer& fb, std::uint64_t table, int index, std::string& out) {
    const std::uint64_t at = fb.field(table, index, 4);
    return at == 0 || fb.string(at, out);
}

} // namespace

std::optional<FgbHeader> readFgbHeader(std::uint64_t fileSize, const ReadBytes& bytes) {
    unsigned char start[12];
    if (fileSize < sizeof start || !bytes(0, sizeof start, start))
        return std::nullopt;
    if (std::memcmp(start,
                    "fgb\x03"
                    "fgb",
                    7) != 0)
        return std::nullopt;
    const std::uint32_t size = le32(start + 8);
    if (size < 4 || size > kMaxFgbHeaderSize || size > fileSize - sizeof start)
        return std::nullopt;
    std::vector<unsigned char> raw(size);
    if (!bytes(sizeof start, size, raw.data()))
        return std::nullopt;
    const FlatBuffer fb(raw);
    // The root offset at the start of the buffer, to a table after it.
    const std::uint64_t root = fb.u32(0);
    if (root < 4 || !fb.has(root, 4))
        return std::nullopt;
    FgbHeader h;
    if (!readOptionalString(fb, root, kName, h.name))
        return std::nullopt;
    if (const std::uint64_t at = fb.field(root, kEnvelope, 4);
        at != 0 && !fb.doubles(at, h.envelope))
        return std::nullopt;
    if (const std::uint64_t at = fb.field(root, kGeometryType, 1))
        h.geometryType = fb.byte(at);
    if (const std::uint64_t at = fb.field(root, kHasZ, 1))
        h.hasZ = fb.byte(at) != 0;
    if (const std::uint64_t at = fb.field(root, kHasM, 1))
        h.hasM = fb.byte(at) != 0;
    if (const std::uint64_t at = fb.field(root, kFeaturesCount, 8))
        h.featuresCount = fb.u64(at);
    if (h.geometryType > 17)
        return std::nullopt;
    if (const std::uint64_t at = fb.field(root, kCrs, 4)) {
        const std::uint64_t crs = fb.follow(at);
        if (crs == 0)
            return std::nullopt;
        h.hasCrs = true;
        if (!readOptionalString(fb, crs, kOrg, h.crsOrganization) ||
            !readOptionalString(fb, crs, kWkt, h.crsWkt))
            return std::nullopt;
        if (const std::uint64_t code = fb.field(crs, kCode, 4))
            h.crsCode = static_cast<std::int32_t>(fb.u32(code));
    }
    return h;
}

} // namespace strand32
