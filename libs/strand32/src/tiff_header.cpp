// A classic TIFF's first directory: entries of 12 bytes (tag, type, count,
// value or offset) in the file's byte order.
#include "tiff_header.h"

#include <algorithm>
#include <cstring>

namespace strand32 {
namespace {

constexpr std::size_t kMaxEntries = 4096;
constexpr std::size_t kMaxGeoBytes = 1 << 20;

enum Tag : std::uint16_t {
    kNewSubfileType = 254,
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kStripOffsets = 273,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kPlanarConfig = 284,
    kTileWidth = 322,
    kTileLength = 323,
    kTileOffsets = 324,
    kTileByteCounts = 325,
    kSampleFormat = 339,
    kModelPixelScale = 33550,
    kModelTiepoint = 33922,
    kModelTransformation = 34264,
    kGeoKeyDirectory = 34735,
    kGeoDoubleParams = 34736,
    kGeoAsciiParams = 34737,
};

enum Type : std::uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kDouble = 12 };

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint64_t valueAt = 0; // where the values are: in the entry or elsewhere
};

// The directory's entries, in ascending tag order.
struct Directory {
    std::vector<Entry> entries;
    const Entry* operator[](std::uint16_t tag) const {
        const auto it = std::lower_bound(entries.begin(), entries.end(), tag,
                                         [](const Entry& e, std::uint16_t t) { return e.tag < t; });
        return it != entries.end() && it->tag == tag ? &*it : nullptr;
    }
};

class Reader {
public:
    Reader(std::uint64_t size, const TiffBytes& bytes, bool bigEndian)
        : size_(size), bytes_(bytes), bigEndian_(bigEndian) {}

    bool read(std::uint64_t at, std::size_t n, unsigned char* out) const {
        return at <= size_ && n <= size_ - at && (n == 0 || bytes_(at, n, out));
    }
    std::uint64_t number(const unsigned char* p, int n) const {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | p[bigEndian_ ? i : n - 1 - i];
        return v;
    }
    // The entry's values as numbers (BYTE, SHORT, LONG) or doubles.
    bool integers(const Entry& e, std::vector<std::uint64_t>& out) const {
        const int width = e.type == kByte ? 1 : e.type == kShort ? 2 : e.type == kLong ? 4 : 0;
        if (width == 0 || std::uint64_t{e.count} * width > kMaxGeoBytes)
            return false;
        std::vector<unsigned char> raw(std::size_t{e.count} * width);
        if (!read(e.valueAt, raw.size(), raw.data()))
            return false;
        out.resize(e.count);
        for (std::uint32_t i = 0; i < e.count; ++i)
            out[i] = number(raw.data() + std::size_t{i} * width, width);
        return true;
    }
    bool doubles(const Entry& e, std::vector<double>& out) const {
        if (e.type != kDouble || std::uint64_t{e.count} * 8 > kMaxGeoBytes)
            return false;
        std::vector<unsigned char> raw(std::size_t{e.count} * 8);
        if (!read(e.valueAt, raw.size(), raw.data()))
            return false;
        out.resize(e.count);
        for (std::uint32_t i = 0; i < e.count; ++i) {
            const std::uint64_t bits = number(raw.data() + std::size_t{i} * 8, 8);
            std::memcpy(&out[i], &bits, 8);
        }
        return true;
    }

private:
    std::uint64_t size_;
    const TiffBytes& bytes_;
    bool bigEndian_;
};

std::size_t typeSize(std::uint16_t type) {
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
        return 1;
    case 3:
    case 8:
        return 2;
    case 4:
    case 9:
    case 11:
    case 13:
        return 4;
    case 5:
    case 10:
    case 12:
    case 16:
    case 17:
    case 18:
        return 8;
    default:
        return 0;
    }
}

// One integer tag's value; `fallback` when absent, none when malformed.
std::optional<std::uint64_t> single(const Reader& r, const Entry* e, std::uint64_t fallback) {
    if (e == nullptr)
        return fallback;
    std::vector<std::uint64_t> values;
    if (!r.integers(*e, values) || values.empty())
        return std::nullopt;
    for (std::uint64_t v : values) {
        if (v != values.front()) // per sample: all alike
            return std::nullopt;
    }
    return values.front();
}

std::uint64_t blocks(std::uint64_t length, std::uint64_t step) {
    return step == 0 ? 0 : (length + step - 1) / step;
}

// The image tags of the plain kind (see TiffGeoHeader::plainImage).
bool plainImage(const Reader& r, const Directory& at, std::uint64_t w, std::uint64_t h) {
    const auto subfile = single(r, at[kNewSubfileType], 0);
    const auto bits = single(r, at[kBitsPerSample], 1);
    const auto compression = single(r, at[kCompression], 1);
    const auto samples = single(r, at[kSamplesPerPixel], 1);
    const auto planar = single(r, at[kPlanarConfig], 1);
    const auto format = single(r, at[kSampleFormat], 1);
    if (!subfile || *subfile != 0 || !bits || !compression || !samples || *samples < 1 || !planar ||
        (*planar != 1 && *planar != 2) || !format || w == 0 || h == 0)
        return false;
    // The sample kinds every reader takes: unsigned 1, 8, 16 or 32 bits,
    // signed 8, 16 or 32, floating 32 or 64.
    const bool usualSamples = *format == 1
                                  ? (*bits == 1 || *bits == 8 || *bits == 16 || *bits == 32)
                              : *format == 2 ? (*bits == 8 || *bits == 16 || *bits == 32)
                                             : *format == 3 && (*bits == 32 || *bits == 64);
    if (!usualSamples)
        return false;
    switch (*compression) {
    case 1:
    case 5:
    case 8:
    case 32773:
    case 32946:
        break; // none, LZW, deflate, PackBits
    default:
        return false;
    }
    const std::uint64_t planes = *planar == 2 ? *samples : 1;
    std::uint64_t expected = 0;
    const Entry* offsets = nullptr;
    const Entry* counts = nullptr;
    if (at[kTileOffsets] != nullptr) {
        const auto tw = single(r, at[kTileWidth], 0);
        const auto th = single(r, at[kTileLength], 0);
        if (!tw || !th)
            return false;
        expected = blocks(w, *tw) * blocks(h, *th) * planes;
        offsets = at[kTileOffsets];
        counts = at[kTileByteCounts];
    } else {
        const auto rows = single(r, at[kRowsPerStrip], 0xffffffff);
        if (!rows)
            return false;
        expected = blocks(h, *rows) * planes;
        offsets = at[kStripOffsets];
        counts = at[kStripByteCounts];
    }
    return offsets != nullptr && counts != nullptr && expected != 0 && offsets->count == expected &&
           counts->count == expected;
}

} // namespace

std::optional<TiffGeoHeader> readTiffGeoHeader(std::uint64_t fileSize, const TiffBytes& bytes) {
    unsigned char head[8];
    if (fileSize < sizeof head || !bytes(0, sizeof head, head))
        return std::nullopt;
    const bool big = head[0] == 'M' && head[1] == 'M';
    if (!big && !(head[0] == 'I' && head[1] == 'I'))
        return std::nullopt;
    const Reader r(fileSize, bytes, big);
    if (r.number(head + 2, 2) != 42)
        return std::nullopt;
    const std::uint64_t ifd = r.number(head + 4, 4);
    unsigned char countBytes[2];
    if (!r.read(ifd, 2, countBytes))
        return std::nullopt;
    const std::size_t n = r.number(countBytes, 2);
    if (n == 0 || n > kMaxEntries)
        return std::nullopt;
    std::vector<unsigned char> raw(n * 12);
    if (!r.read(ifd + 2, raw.size(), raw.data()))
        return std::nullopt;
    Directory at;
    std::vector<Entry>& entries = at.entries;
    entries.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char* p = raw.data() + i * 12;
        Entry& e = entries[i];
        e.tag = static_cast<std::uint16_t>(r.number(p, 2));
        e.type = static_cast<std::uint16_t>(r.number(p + 2, 2));
        e.count = static_cast<std::uint32_t>(r.number(p + 4, 4));
        const std::uint64_t bytesOfValues = std::uint64_t{e.count} * typeSize(e.type);
        e.valueAt = bytesOfValues <= 4 ? ifd + 2 + i * 12 + 8 : r.number(p + 8, 4);
        if (typeSize(e.type) == 0 || (i > 0 && e.tag <= entries[i - 1].tag))
            return std::nullopt;
    }
    TiffGeoHeader header;
    const auto w = single(r, at[kImageWidth], 0);
    const auto h = single(r, at[kImageLength], 0);
    if (!w || !h || *w > 0xffffffff || *h > 0xffffffff)
        return std::nullopt;
    header.width = static_cast<std::uint32_t>(*w);
    header.height = static_cast<std::uint32_t>(*h);
    header.plainImage = plainImage(r, at, *w, *h);
    const auto doublesOf = [&](Tag tag, std::vector<double>& out) {
        return at[tag] == nullptr || r.doubles(*at[tag], out);
    };
    std::vector<std::uint64_t> keys;
    if (!doublesOf(kModelPixelScale, header.pixelScale) ||
        !doublesOf(kModelTiepoint, header.tiePoints) ||
        !doublesOf(kModelTransformation, header.transformation) ||
        !doublesOf(kGeoDoubleParams, header.geoDoubles) ||
        (at[kGeoKeyDirectory] && !r.integers(*at[kGeoKeyDirectory], keys)))
        return std::nullopt;
    header.hasGeoKeys = at[kGeoKeyDirectory] != nullptr;
    header.geoKeys.assign(keys.begin(), keys.end());
    if (const Entry* ascii = at[kGeoAsciiParams]) {
        if (ascii->type != kAscii || ascii->count > kMaxGeoBytes)
            return std::nullopt;
        header.geoAscii.resize(ascii->count);
        if (!r.read(ascii->valueAt, header.geoAscii.size(),
                    reinterpret_cast<unsigned char*>(header.geoAscii.data())))
            return std::nullopt;
    }
    return header;
}

int tiffRasterType(const TiffGeoHeader& header) {
    const std::vector<std::uint16_t>& k = header.geoKeys;
    if (!header.hasGeoKeys)
        return 0;
    // Version 1, revision 1.0 or 1.1, exactly its keys, in ascending order,
    // each value where its location says (an ASCII value read as a C text).
    if (k.size() < 4 || k[0] != 1 || k[1] != 1 || k[2] > 1 || k.size() != 4 + std::size_t{k[3]} * 4)
        return -1;
    const std::size_t asciiLength = ::strnlen(header.geoAscii.data(), header.geoAscii.size());
    int rasterType = 0;
    for (std::size_t i = 4; i < k.size(); i += 4) {
        const std::uint16_t id = k[i], location = k[i + 1], count = k[i + 2], value = k[i + 3];
        if (i > 4 && id <= k[i - 4])
            return -1;
        switch (location) {
        case 0:
            if (count != 1)
                return -1;
            break;
        case 34736:
            if (count == 0 || std::size_t{value} + count > header.geoDoubles.size())
                return -1;
            break;
        case 34737:
            if (count == 0 || std::size_t{value} + count > asciiLength)
                return -1;
            break;
        default:
            return -1;
        }
        if (id == 1025) // GTRasterTypeGeoKey
            rasterType = location == 0 ? value : -1;
    }
    return rasterType;
}

std::string tiffGeoKeyText(const TiffGeoHeader& header) {
    std::string text = "tif";
    const auto put = [&text](const void* data, std::size_t bytes) {
        const std::uint64_t n = bytes;
        text.append(reinterpret_cast<const char*>(&n), sizeof n);
        text.append(static_cast<const char*>(data), bytes);
    };
    text.push_back(header.hasGeoKeys ? '\1' : '\0');
    put(header.geoKeys.data(), header.geoKeys.size() * sizeof(std::uint16_t));
    put(header.geoDoubles.data(), header.geoDoubles.size() * sizeof(double));
    put(header.geoAscii.data(), header.geoAscii.size());
    return text;
}

} // namespace strand32
