// The LAS public header block (227 bytes in 1.0-1.2, 235 in 1.3, 375 in
// 1.4, little-endian), its variable-length records (54-byte headers before
// the points) and, in 1.4, its extended records (60-byte headers after them).
#include "las_header.h"

#include <cmath>
#include <cstring>

namespace strand32 {
namespace {

constexpr std::size_t kHeader14 = 375;
constexpr std::size_t kRecordHeader = 54;
constexpr std::size_t kExtendedRecordHeader = 60;
// Records walked at most; files have a handful.
constexpr std::uint64_t kMaxRecords = 10000;
// An extended WKT record larger than this is not read.
constexpr std::uint64_t kMaxWktBytes = 1 << 20;

constexpr std::uint16_t kGeoKeyDirectory = 34735;
constexpr std::uint16_t kGeoDoubleParams = 34736;
constexpr std::uint16_t kGeoAsciiParams = 34737;
constexpr std::uint16_t kWktRecord = 2112;
constexpr std::uint16_t kWktEncodingBit = 16;

// Smallest header of each minor version, the highest point format it
// allows, and each point format's smallest record length.
constexpr std::uint16_t kMinHeaderSize[] = {227, 227, 227, 235, 375};
constexpr int kMaxFormat[] = {1, 1, 3, 5, 10};
constexpr std::uint16_t kMinRecordLength[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};

class Reader {
public:
    Reader(std::uint64_t size, const ReadBytes& bytes) : size_(size), bytes_(bytes) {}
    std::uint64_t size() const { return size_; }
    bool read(std::uint64_t at, std::size_t n, unsigned char* out) const {
        return at <= size_ && n <= size_ - at && (n == 0 || bytes_(at, n, out));
    }

private:
    std::uint64_t size_;
    const ReadBytes& bytes_;
};

LasReading fail(const char* why) {
    return {std::nullopt, why};
}

bool isProjection(const unsigned char* userId) {
    static constexpr char kUser[16] = "LASF_Projection";
    return std::memcmp(userId, kUser, sizeof kUser) == 0;
}

// A GeoTIFF key directory is well formed when its header says version 1,
// revision 1 and its key count fits the values.
bool keyDirectoryValid(const std::vector<std::uint16_t>& keys) {
    return keys.size() >= 4 && keys[0] == 1 && keys[1] == 1 &&
           4 + std::size_t{keys[3]} * 4 <= keys.size();
}

std::string textUpToNul(const std::vector<unsigned char>& raw) {
    if (raw.empty())
        return {};
    const auto* start = reinterpret_cast<const char*>(raw.data());
    return std::string(start, strnlen(start, raw.size()));
}

// Keeps the record's content when it is one of the system's.
void takeRecord(std::uint16_t id, const std::vector<unsigned char>& raw, LasHeader& h) {
    switch (id) {
    case kGeoKeyDirectory: {
        std::vector<std::uint16_t> keys(raw.size() / 2);
        for (std::size_t i = 0; i < keys.size(); ++i)
            keys[i] = le16(raw.data() + 2 * i);
        if (keyDirectoryValid(keys))
            h.geoKeys = std::move(keys);
        break;
    }
    case kGeoDoubleParams:
        h.geoDoubles.resize(raw.size() / 8);
        for (std::size_t i = 0; i < h.geoDoubles.size(); ++i)
            h.geoDoubles[i] = leDouble(raw.data() + 8 * i);
        break;
    case kGeoAsciiParams:
        h.geoAscii = textUpToNul(raw);
        break;
    case kWktRecord:
        h.wkt = textUpToNul(raw);
        break;
    default:
        break;
    }
}

bool wanted(std::uint16_t id) {
    return id == kGeoKeyDirectory || id == kGeoDoubleParams || id == kGeoAsciiParams ||
           id == kWktRecord;
}

// The records between the header and the points; false when one runs past
// the points.
bool readRecords(const Reader& in, std::uint64_t at, std::uint32_t count, std::uint64_t end,
                 LasHeader& h) {
    for (std::uint32_t i = 0; i < count; ++i) {
        unsigned char head[kRecordHeader];
        if (end - at < kRecordHeader || !in.read(at, kRecordHeader, head))
            return false;
        const std::uint16_t id = le16(head + 18);
        const std::uint16_t length = le16(head + 20);
        at += kRecordHeader;
        if (end - at < length)
            return false;
        if (isProjection(head + 2) && wanted(id)) {
            std::vector<unsigned char> raw(length);
            if (!in.read(at, length, raw.data()))
                return false;
            takeRecord(id, raw, h);
        }
        at += length;
    }
    return true;
}

// The extended records of 1.4 after the points; false when one lies
// outside the file.
bool readExtendedRecords(const Reader& in, std::uint64_t at, std::uint32_t count, LasHeader& h) {
    for (std::uint32_t i = 0; i < count; ++i) {
        unsigned char head[kExtendedRecordHeader];
        if (!in.read(at, kExtendedRecordHeader, head))
            return false;
        const std::uint16_t id = le16(head + 18);
        const std::uint64_t length = le64(head + 20);
        at += kExtendedRecordHeader;
        if (length > in.size() - at)
            return false;
        if (isProjection(head + 2) && wanted(id) && length <= kMaxWktBytes) {
            std::vector<unsigned char> raw(length);
            if (!in.read(at, raw.size(), raw.data()))
                return false;
            takeRecord(id, raw, h);
        }
        at += length;
    }
    return true;
}

bool finite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

} // namespace

LasReading readLasHeader(std::uint64_t fileSize, const ReadBytes& bytes) {
    const Reader in(fileSize, bytes);
    unsigned char p[kHeader14] = {};
    if (!in.read(0, kMinHeaderSize[0], p) || std::memcmp(p, "LASF", 4) != 0)
        return fail("not a LAS file");
    const int major = p[24], minor = p[25];
    if (major != 1 || minor > 4)
        return fail("LAS version not read (1.0 to 1.4 are)");
    const std::uint16_t headerSize = le16(p + 94);
    if (headerSize < kMinHeaderSize[minor] || headerSize > fileSize)
        return fail("LAS header size out of range");
    if (minor >= 3 && !in.read(kMinHeaderSize[0], kMinHeaderSize[minor] - kMinHeaderSize[0],
                               p + kMinHeaderSize[0]))
        return fail("LAS header cut short");

    LasHeader h;
    h.versionMinor = minor;
    const std::uint32_t pointOffset = le32(p + 96);
    const std::uint32_t recordCount = le32(p + 100);
    if (pointOffset < headerSize || pointOffset > fileSize)
        return fail("LAS point data offset out of range");
    h.compressed = (p[104] & 0xC0) != 0;
    h.pointFormat = p[104] & 0x3F;
    if (h.pointFormat > kMaxFormat[minor])
        return fail("LAS point format out of range");
    const std::uint16_t recordLength = le16(p + 105);
    if (recordLength < kMinRecordLength[h.pointFormat])
        return fail("LAS point record length too short for its format");

    const std::uint32_t legacyCount = le32(p + 107);
    h.pointCount = legacyCount;
    if (minor >= 4) {
        const std::uint64_t count = le64(p + 247);
        if (legacyCount != 0 && count != legacyCount)
            return fail("LAS point counts disagree");
        h.pointCount = count;
    }
    const double scale[] = {leDouble(p + 131), leDouble(p + 139), leDouble(p + 147)};
    const double offset[] = {leDouble(p + 155), leDouble(p + 163), leDouble(p + 171)};
    h.maxX = leDouble(p + 179);
    h.minX = leDouble(p + 187);
    h.maxY = leDouble(p + 195);
    h.minY = leDouble(p + 203);
    h.maxZ = leDouble(p + 211);
    h.minZ = leDouble(p + 219);
    if (!finite({scale[0], scale[1], scale[2], offset[0], offset[1], offset[2]}) || scale[0] == 0 ||
        scale[1] == 0 || scale[2] == 0)
        return fail("LAS scale or offset out of range");
    if (!finite({h.minX, h.minY, h.minZ, h.maxX, h.maxY, h.maxZ}) ||
        (h.pointCount > 0 && !(h.minX <= h.maxX && h.minY <= h.maxY && h.minZ <= h.maxZ)))
        return fail("LAS bounds out of range");
    if (!h.compressed && h.pointCount > (fileSize - pointOffset) / recordLength)
        return fail("LAS point data cut short");

    if (recordCount > kMaxRecords || !readRecords(in, headerSize, recordCount, pointOffset, h))
        return fail("LAS variable-length records damaged");
    if (minor >= 4) {
        h.wktFlag = (le16(p + 6) & kWktEncodingBit) != 0;
        const std::uint64_t extendedAt = le64(p + 235);
        const std::uint32_t extendedCount = le32(p + 243);
        if (extendedCount > 0 &&
            (extendedCount > kMaxRecords || extendedAt < pointOffset || extendedAt > fileSize ||
             !readExtendedRecords(in, extendedAt, extendedCount, h)))
            return fail("LAS extended records damaged");
    }
    return {std::move(h), {}};
}

} // namespace strand32
