// Definitions turned into systems through GDAL, remembered by their text.
#include "crs_text.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <strings.h>

#include <cpl_vsi.h>

#include "gdal_support.h"

namespace strand32 {
namespace {

// Definitions remembered at most; the memo starts afresh beyond.
constexpr std::size_t kMaxRemembered = 4096;

std::optional<NamedCrs> namedCrsOf(OGRSpatialReferenceH srs) {
    if (srs == nullptr)
        return std::nullopt;
    NamedCrs crs{wktOf(srs), OSRGetName(srs) ? OSRGetName(srs) : ""};
    if (crs.wkt.empty())
        return std::nullopt;
    return crs;
}

template <typename Make>
std::optional<NamedCrs> remembered(const std::string& definition, Make make) {
    static std::mutex mutex;
    static std::map<std::string, std::optional<NamedCrs>> memo;
    {
        std::lock_guard lock(mutex);
        if (const auto it = memo.find(definition); it != memo.end())
            return it->second;
    }
    ensureGdal();
    QuietGdalScope quiet;
    auto crs = make();
    std::lock_guard lock(mutex);
    if (memo.size() >= kMaxRemembered)
        memo.clear();
    memo.emplace(definition, crs);
    return crs;
}

// A classic little-endian TIFF of one byte-sized pixel carrying the keys.
class TiffWriter {
public:
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count;
        std::vector<unsigned char> values;
    };
    void add(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
             std::vector<unsigned char> values) {
        entries_.push_back({tag, type, count, std::move(values)});
    }
    static std::vector<unsigned char> shorts(const std::vector<std::uint16_t>& v) {
        std::vector<unsigned char> out;
        for (std::uint16_t x : v) {
            out.push_back(static_cast<unsigned char>(x));
            out.push_back(static_cast<unsigned char>(x >> 8));
        }
        return out;
    }
    static std::vector<unsigned char> doubles(const std::vector<double>& v) {
        std::vector<unsigned char> out(v.size() * 8);
        for (std::size_t i = 0; i < v.size(); ++i)
            std::memcpy(out.data() + 8 * i, &v[i], 8); // the machine is little-endian
        return out;
    }
    // Entries must have been added in ascending tag order.
    std::vector<unsigned char> bytes() const {
        std::vector<unsigned char> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
        const std::size_t dataAt = 8 + 2 + entries_.size() * 12 + 4;
        std::vector<unsigned char> data = {0}; // the pixel, first in the data area
        put(out, entries_.size(), 2);
        for (const Entry& e : entries_) {
            put(out, e.tag, 2);
            put(out, e.type, 2);
            put(out, e.count, 4);
            if (e.values.size() <= 4) {
                std::vector<unsigned char> inline4 = e.values;
                inline4.resize(4);
                out.insert(out.end(), inline4.begin(), inline4.end());
            } else {
                put(out, dataAt + data.size(), 4);
                data.insert(data.end(), e.values.begin(), e.values.end());
                if (data.size() % 2)
                    data.push_back(0);
            }
        }
        put(out, 0, 4); // no next directory
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }
    static std::size_t pixelOffset(std::size_t entryCount) { return 8 + 2 + entryCount * 12 + 4; }

private:
    static void put(std::vector<unsigned char>& out, std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
    std::vector<Entry> entries_;
};

std::vector<unsigned char> shortValue(std::uint16_t v) {
    return TiffWriter::shorts({v});
}

std::vector<unsigned char> geoKeyTiff(const std::vector<std::uint16_t>& keys,
                                      const std::vector<double>& doubles,
                                      const std::string& ascii) {
    enum : std::uint16_t { kAscii = 2, kShort = 3, kLong = 4, kDouble = 12 };
    const std::size_t entryCount = 11 + !doubles.empty() + !ascii.empty();
    const auto pixelAt = static_cast<std::uint32_t>(TiffWriter::pixelOffset(entryCount));
    TiffWriter tiff;
    tiff.add(256, kShort, 1, shortValue(1)); // width
    tiff.add(257, kShort, 1, shortValue(1)); // height
    tiff.add(258, kShort, 1, shortValue(8)); // bits per sample
    tiff.add(259, kShort, 1, shortValue(1)); // no compression
    tiff.add(262, kShort, 1, shortValue(1)); // black is zero
    tiff.add(273, kLong, 1,
             {static_cast<unsigned char>(pixelAt), static_cast<unsigned char>(pixelAt >> 8), 0, 0});
    tiff.add(277, kShort, 1, shortValue(1)); // samples per pixel
    tiff.add(278, kShort, 1, shortValue(1)); // rows per strip
    tiff.add(279, kLong, 1, {1, 0, 0, 0});   // strip byte count
    tiff.add(33550, kDouble, 3, TiffWriter::doubles({1, 1, 0}));
    tiff.add(33922, kDouble, 6, TiffWriter::doubles({0, 0, 0, 0, 0, 0}));
    tiff.add(34735, kShort, static_cast<std::uint32_t>(keys.size()), TiffWriter::shorts(keys));
    if (!doubles.empty())
        tiff.add(34736, kDouble, static_cast<std::uint32_t>(doubles.size()),
                 TiffWriter::doubles(doubles));
    if (!ascii.empty()) {
        std::vector<unsigned char> text(ascii.begin(), ascii.end());
        text.push_back(0);
        tiff.add(34737, kAscii, static_cast<std::uint32_t>(text.size()), std::move(text));
    }
    return tiff.bytes();
}

std::string geoKeyDefinition(const std::vector<std::uint16_t>& keys,
                             const std::vector<double>& doubles, const std::string& ascii) {
    std::string text = "geokeys:";
    for (std::uint16_t k : keys)
        text += std::to_string(k) + ',';
    text += '|';
    for (double d : doubles) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g,", d);
        text += buffer;
    }
    return text + '|' + ascii;
}

} // namespace

std::optional<NamedCrs> crsFromWkt(const std::string& wkt) {
    if (wkt.empty())
        return std::nullopt;
    return remembered("wkt:" + wkt, [&]() -> std::optional<NamedCrs> {
        // Read as WKT only: a text from a file never names a file or an address.
        SrsPtr srs(OSRNewSpatialReference(nullptr));
        const auto h = static_cast<OGRSpatialReferenceH>(srs.get());
        char* text = const_cast<char*>(wkt.c_str());
        if (OSRImportFromWkt(h, &text) != OGRERR_NONE)
            return std::nullopt;
        return namedCrsOf(h);
    });
}

std::optional<NamedCrs> crsFromCode(const std::string& authority, int code) {
    // The authorities PROJ's registry holds; a text of another kind could
    // be taken for a file name by GDAL's reading of user input.
    static constexpr const char* kAuthorities[] = {"EPSG", "ESRI", "OGC", "IGNF"};
    bool known = false;
    for (const char* name : kAuthorities)
        known = known || strcasecmp(name, authority.c_str()) == 0;
    if (!known || code <= 0)
        return std::nullopt;
    const std::string text = authority + ':' + std::to_string(code);
    return remembered("code:" + text, [&]() -> std::optional<NamedCrs> {
        SrsPtr srs(OSRNewSpatialReference(nullptr));
        const auto h = static_cast<OGRSpatialReferenceH>(srs.get());
        const OGRErr err = strcasecmp(authority.c_str(), "EPSG") == 0
                               ? OSRImportFromEPSG(h, code)
                               : OSRSetFromUserInput(h, text.c_str());
        if (err != OGRERR_NONE)
            return std::nullopt;
        return namedCrsOf(h);
    });
}

std::optional<NamedCrs> crsFromGeoKeys(const std::vector<std::uint16_t>& keys,
                                       const std::vector<double>& doubles,
                                       const std::string& ascii) {
    if (keys.empty())
        return std::nullopt;
    return remembered(geoKeyDefinition(keys, doubles, ascii), [&]() -> std::optional<NamedCrs> {
        static std::atomic<unsigned> serial{0};
        const std::string name = "/vsimem/kavrel-geokeys-" + std::to_string(++serial) + ".tif";
        std::vector<unsigned char> tiff = geoKeyTiff(keys, doubles, ascii);
        VSILFILE* file = VSIFileFromMemBuffer(name.c_str(), tiff.data(), tiff.size(), FALSE);
        if (file == nullptr)
            return std::nullopt;
        VSIFCloseL(file);
        std::optional<NamedCrs> crs;
        {
            const char* const drivers[] = {"GTiff", nullptr};
            DatasetPtr dataset(GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers,
                                          nullptr, nullptr));
            if (dataset)
                crs = namedCrsOf(GDALGetSpatialRef(static_cast<GDALDatasetH>(dataset.get())));
        }
        VSIUnlink(name.c_str());
        return crs;
    });
}

} // namespace strand32
