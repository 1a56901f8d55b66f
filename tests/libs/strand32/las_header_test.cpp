// LAS and LAZ headers: files written by the sample generator read with
// their bounds, counts and systems (the system against GDAL's own reading
// of the EPSG code), and every damaged field refused with its reason.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gdal_tools.h"
#include "las_header.h"
#include "point_cloud_facts.h"
#include "temp_dir.h"
#include <ogr_srs_api.h>

using testsupport::TempDir;

namespace {

std::vector<unsigned char> lasFile(const TempDir& dir, const std::string& name,
                                   const std::string& options) {
    const std::string path = dir / name;
    testsupport::run("gdalsrsinfo -o wkt1 EPSG:32633 > " + testsupport::quoted(dir / "utm.wkt"));
    testsupport::run("python3 " KAVREL_SOURCE_DIR "/data/make_las.py " + testsupport::quoted(path) +
                     " " + options);
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

strand32::LasReading readBytes(const std::vector<unsigned char>& b) {
    return strand32::readLasHeader(b.size(),
                                   [&](std::uint64_t at, std::size_t n, unsigned char* out) {
                                       if (at > b.size() || n > b.size() - at)
                                           return false;
                                       std::memcpy(out, b.data() + at, n);
                                       return true;
                                   });
}

// The system GDAL makes of an EPSG code and ours are the same system.
bool sameAsEpsg(const std::string& wkt, int epsg) {
    OGRSpatialReferenceH expected = OSRNewSpatialReference(nullptr);
    OGRSpatialReferenceH got = OSRNewSpatialReference(wkt.c_str());
    const bool same = OSRImportFromEPSG(expected, epsg) == OGRERR_NONE && got != nullptr &&
                      OSRIsSame(expected, got);
    OSRRelease(expected);
    if (got)
        OSRRelease(got);
    return same;
}

template <typename T> void put(std::vector<unsigned char>& b, std::size_t at, T value) {
    std::memcpy(b.data() + at, &value, sizeof value);
}

} // namespace

TEST(LasHeader, versions_read_with_bounds_count_and_system) {
    TempDir dir;
    const struct {
        const char* name;
        std::string options;
        LayerType kind;
        int minor, epsg;
        bool compressed;
        strand32::Extent extent;
    } cases[] = {
        {"keys.las",
         "--version 1.2 --epsg 32633 400000 5500000 401000 5501000",
         LayerType::Las,
         2,
         32633,
         false,
         {400000, 5501000, 401000, 5500000}},
        {"wkt.las",
         "--version 1.4 --wkt-file " + dir / "utm.wkt" + " 600000 5300000 600500 5300500",
         LayerType::Las,
         4,
         32633,
         false,
         {600000, 5300500, 600500, 5300000}},
        {"lonlat.laz",
         "--laz --version 1.2 --epsg 4326 7 45 7.5 45.5",
         LayerType::Laz,
         2,
         4326,
         true,
         {7, 45.5, 7.5, 45}},
    };
    for (const auto& c : cases) {
        const auto bytes = lasFile(dir, c.name, c.options);
        const auto reading = readBytes(bytes);
        ASSERT_TRUE(reading.header) << c.name << ": " << reading.error;
        EXPECT_EQ(reading.header->versionMinor, c.minor) << c.name;
        EXPECT_EQ(reading.header->compressed, c.compressed) << c.name;
        EXPECT_EQ(reading.header->pointCount, 100u) << c.name;
        const auto facts = strand32::readPointCloudFacts(dir / c.name, c.kind, {false, true});
        ASSERT_TRUE(facts.extent) << c.name << ": " << facts.error;
        EXPECT_EQ(*facts.extent, c.extent) << c.name;
        EXPECT_TRUE(sameAsEpsg(facts.crsWkt, c.epsg)) << c.name << ": " << facts.crsWkt;
        ASSERT_EQ(facts.layers.size(), 1u);
        EXPECT_EQ(facts.layers[0].geometryType, "Point");
        EXPECT_EQ(facts.counts, (strand32::ObjectCounts{100, 0, 0, 0})) << c.name;
    }
}

TEST(LasHeader, damaged_fields_are_refused_with_their_reason) {
    TempDir dir;
    const auto good12 = lasFile(dir, "a.las", "--version 1.2 --epsg 32633 0 0 10 10");
    const auto good14 =
        lasFile(dir, "b.las", "--version 1.4 --wkt-file " + dir / "utm.wkt" + " 0 0 10 10");
    using Bytes = std::vector<unsigned char>;
    const struct {
        const char* what;
        bool v14;
        void (*damage)(Bytes&);
        const char* error;
    } cases[] = {
        {"signature", false, [](Bytes& b) { b[0] = 'X'; }, "not a LAS file"},
        {"too short", false, [](Bytes& b) { b.resize(200); }, "not a LAS file"},
        {"version 2.0", false, [](Bytes& b) { b[24] = 2, b[25] = 0; },
         "LAS version not read (1.0 to 1.4 are)"},
        {"version 1.5", false, [](Bytes& b) { b[25] = 5; },
         "LAS version not read (1.0 to 1.4 are)"},
        {"header size below 1.2's", false, [](Bytes& b) { put<std::uint16_t>(b, 94, 226); },
         "LAS header size out of range"},
        {"1.4 header size of 1.2", true, [](Bytes& b) { put<std::uint16_t>(b, 94, 227); },
         "LAS header size out of range"},
        {"points beyond the file", false, [](Bytes& b) { put<std::uint32_t>(b, 96, 1u << 30); },
         "LAS point data offset out of range"},
        {"points inside the header", false, [](Bytes& b) { put<std::uint32_t>(b, 96, 100); },
         "LAS point data offset out of range"},
        {"format 6 in 1.2", false, [](Bytes& b) { b[104] = 6; }, "LAS point format out of range"},
        {"format 11 in 1.4", true, [](Bytes& b) { b[104] = 11; }, "LAS point format out of range"},
        {"record too short", false, [](Bytes& b) { put<std::uint16_t>(b, 105, 27); },
         "LAS point record length too short for its format"},
        {"counts disagree", true, [](Bytes& b) { put<std::uint32_t>(b, 107, 99); },
         "LAS point counts disagree"},
        {"zero scale", false, [](Bytes& b) { put<double>(b, 139, 0.0); },
         "LAS scale or offset out of range"},
        {"infinite offset", false, [](Bytes& b) { put<double>(b, 155, HUGE_VAL); },
         "LAS scale or offset out of range"},
        {"min above max", false, [](Bytes& b) { put<double>(b, 187, 1e9); },
         "LAS bounds out of range"},
        {"not a number", false, [](Bytes& b) { put<double>(b, 203, NAN); },
         "LAS bounds out of range"},
        {"points cut short", false, [](Bytes& b) { b.resize(b.size() - 1); },
         "LAS point data cut short"},
        {"more points than stored", true,
         [](Bytes& b) {
             put<std::uint64_t>(b, 247, 101);
             put<std::uint32_t>(b, 107, 0);
         },
         "LAS point data cut short"},
        {"record past the points", false, [](Bytes& b) { put<std::uint16_t>(b, 227 + 20, 60000); },
         "LAS variable-length records damaged"},
        {"records beyond their room", false, [](Bytes& b) { put<std::uint32_t>(b, 100, 50); },
         "LAS variable-length records damaged"},
        {"extended records outside", true,
         [](Bytes& b) {
             put<std::uint32_t>(b, 243, 1);
             put<std::uint64_t>(b, 235, b.size() - 10);
         },
         "LAS extended records damaged"},
    };
    for (const auto& c : cases) {
        Bytes bytes = c.v14 ? good14 : good12;
        c.damage(bytes);
        const auto reading = readBytes(bytes);
        EXPECT_FALSE(reading.header) << c.what;
        EXPECT_EQ(reading.error, c.error) << c.what;
    }
    // Undamaged, both read; a key directory that is not well formed leaves
    // no keys (and no system) but the header stands.
    EXPECT_TRUE(readBytes(good12).header);
    EXPECT_TRUE(readBytes(good14).header);
    Bytes badKeys = good12;
    put<std::uint16_t>(badKeys, 227 + 54 + 6, 400); // more keys than the record holds
    const auto reading = readBytes(badKeys);
    ASSERT_TRUE(reading.header);
    EXPECT_TRUE(reading.header->geoKeys.empty());
}

TEST(LasHeader, a_file_that_cannot_be_read_is_a_clear_failure) {
    TempDir dir;
    dir.writeFile("empty.las", "");
    EXPECT_EQ(strand32::readPointCloudFacts(dir / "empty.las", LayerType::Las, {}).error,
              "not a LAS file");
    EXPECT_EQ(strand32::readPointCloudFacts(dir / "missing.las", LayerType::Las, {}).error,
              "cannot be read");
    EXPECT_EQ(strand32::readPointCloudFacts(dir.path().string(), LayerType::Las, {}).error,
              "cannot be read");
}
