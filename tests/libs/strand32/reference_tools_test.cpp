// Over the sample tree and the real-world files: the extent equals what
// GDAL's own tools report (ogrinfo, gdalinfo), and the keys name the same
// coordinate system as gdalsrsinfo's definition of the file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "gdal_tools.h"
#include "quill32/identify.h"
#include "sample_files.h"
#include "strand32/mapora.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

using testsupport::gdalinfoExtent;
using testsupport::ogrinfoExtent;
using testsupport::quoted;
using testsupport::run;

// Drawings: ogrinfo shows the stored range, so the drawing is first copied
// to GeoJSON, whose extent GDAL computes from the geometries.
std::optional<MaporaExtent> geometryExtent(const std::string& path) {
    testsupport::TempDir dir;
    const std::string copy = dir / "copy.geojson";
    run("ogr2ogr -f GeoJSON " + quoted(copy) + " " + quoted(path));
    return ogrinfoExtent(copy);
}

// The file GDAL's tools should read for a layer, and how.
struct Reference {
    std::string path;
    std::optional<MaporaExtent> extent;
    std::string system; // what gdalsrsinfo reads the system from: the path, or a code
};

// Where exiftool says a photo was taken: a point in degrees.
std::optional<MaporaExtent> gpsPlace(const std::string& path) {
    double lon = 0, lat = 0;
    const std::string out = run("exiftool -n -p '$GPSLongitude $GPSLatitude' " + quoted(path));
    if (std::sscanf(out.c_str(), "%lf %lf", &lon, &lat) != 2)
        return std::nullopt;
    return MaporaExtent{lon, lat, lon, lat};
}

Reference referenceFor(const std::string& path, std::uint16_t type) {
    switch (static_cast<LayerType>(type)) {
    case LayerType::Raster:
        // A photo placed by nothing else is where its GPS tags say.
        if (auto e = gdalinfoExtent(path))
            return {path, e, path};
        if (auto place = gpsPlace(path))
            return {path, place, "EPSG:4326"};
        return {path, std::nullopt, path};
    case LayerType::Dgn:
        return {path, geometryExtent(path), path};
    case LayerType::TabTable:
        if (auto e = ogrinfoExtent(path))
            return {path, e, path};
        if (auto image = strand32::rasterTableImagePath(path))
            return {*image, gdalinfoExtent(*image), *image};
        return {path, std::nullopt, path};
    default:
        return {path, ogrinfoExtent(path), path};
    }
}

bool near(double a, double b) {
    return std::abs(a - b) <= 1e-6 + 1e-9 * std::abs(b);
}

} // namespace

TEST(ReferenceTools, extents_and_keys_agree_with_gdal) {
    const std::vector<std::string> files = strand32test::layerFiles();
    if (files.empty())
        GTEST_SKIP() << "sample data and real-world files not built";
    int withExtent = 0;
    int withKeys = 0;
    for (const std::string& path : files) {
        LayerDescriptor d;
        ASSERT_TRUE(strand32::buildLayerDescriptor(path, d));
        const Reference ref = referenceFor(path, d.layerType);
        MaporaExtent got{};
        const bool known = Mapora_LayerExtent(&d, &got) != 0;
        ASSERT_EQ(known, ref.extent.has_value()) << path;
        if (known) {
            ++withExtent;
            EXPECT_TRUE(near(got.west, ref.extent->west) && near(got.north, ref.extent->north) &&
                        near(got.east, ref.extent->east) && near(got.south, ref.extent->south))
                << path << ": " << got.west << " " << got.north << " " << got.east << " "
                << got.south << " against " << ref.extent->west << " " << ref.extent->north << " "
                << ref.extent->east << " " << ref.extent->south;
        }
        CoordSysKeys keys{};
        char scratch[512];
        const bool hasKeys = Mapora_LayerCoordSys(&d, &keys, scratch, sizeof scratch) != 0;
        CoordSysKeys expected{};
        const std::string wkt = run("gdalsrsinfo --single-line -o wkt2 " + quoted(ref.system));
        const bool expectKeys = !wkt.empty() && quill32::identifyCoordSys(wkt, expected);
        ASSERT_EQ(hasKeys, expectKeys) << path;
        if (hasKeys) {
            ++withKeys;
            EXPECT_STREQ(keys.group, expected.group) << path;
            EXPECT_STREQ(keys.system, expected.system) << path;
            EXPECT_STREQ(keys.datum, expected.datum) << path;
            EXPECT_STREQ(keys.units, expected.units) << path;
        }
    }
    // The trees hold georeferenced files of every kind; most must be read.
    EXPECT_GT(withExtent, static_cast<int>(files.size()) / 2);
    EXPECT_GT(withKeys, static_cast<int>(files.size()) / 3);
}
