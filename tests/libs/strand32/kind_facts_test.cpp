// The kinds beyond the layer table over the sample files GDAL's tools
// wrote: each kind confirmed by content, its layers, extents and systems
// equal to what ogrinfo and gdalinfo report, containers as the union of
// their layers, and the fast readings (GeoPackage catalogue, FlatGeobuf
// header) equal to GDAL's or left to it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "container_facts.h"
#include "exif_position.h"
#include "flatgeobuf_facts.h"
#include "gdal_tools.h"
#include "geopackage_contents.h"
#include "kind_by_content.h"
#include "kind_facts.h"
#include "temp_dir.h"
#include <gdal.h>
#include <ogr_srs_api.h>

namespace fs = std::filesystem;
using strand32::Extent;
using testsupport::TempDir;

namespace {

const std::string kFormats = std::string(KAVREL_DATA_DIR) + "/samples/formats/";
const std::string kMisc = std::string(KAVREL_DATA_DIR) + "/samples/misc/";

bool near(const Extent& a, const MaporaExtent& b, double tolerance) {
    return std::abs(a.west - b.west) <= tolerance && std::abs(a.east - b.east) <= tolerance &&
           std::abs(a.north - b.north) <= tolerance && std::abs(a.south - b.south) <= tolerance;
}

bool sameSystem(const std::string& wkt, const std::string& other) {
    OGRSpatialReferenceH a = OSRNewSpatialReference(wkt.c_str());
    OGRSpatialReferenceH b = OSRNewSpatialReference(nullptr);
    const bool same = a && OSRSetFromUserInput(b, other.c_str()) == OGRERR_NONE && OSRIsSame(a, b);
    if (a)
        OSRRelease(a);
    OSRRelease(b);
    return same;
}

// ogrinfo and gdalinfo print six decimals.
std::optional<MaporaExtent> toolExtent(const std::string& path, bool raster) {
    return raster ? testsupport::gdalinfoExtent(path) : testsupport::ogrinfoExtent(path);
}

} // namespace

TEST(KindFacts, every_sample_kind_reads_as_gdals_tools_report_it) {
    const struct {
        const char* file;
        LayerType kind;
        std::size_t layers;
        bool raster;
        const char* system; // as gdalsrsinfo would take it
    } cases[] = {
        {"cities.geojson", LayerType::GeoJson, 1, false, "EPSG:4326"},
        {"europe_utm33.fgb", LayerType::FlatGeobuf, 1, false, "EPSG:32633"},
        {"cities.kml", LayerType::Kml, 1, false, "EPSG:4326"},
        {"south_america.kmz", LayerType::Kmz, 1, false, "EPSG:4326"},
        {"central_etrs89.gml", LayerType::Gml, 1, false, "EPSG:25833"},
        {"cities.sqlite", LayerType::SpatiaLite, 1, false, "EPSG:4326"},
        {"world.gdb", LayerType::FileGdb, 2, false, "EPSG:4326"},
        {"world.tiff", LayerType::Tiff, 1, true, "EPSG:4326"},
        {"world.jp2", LayerType::Jpeg2000, 1, true, "EPSG:4326"},
        {"world.img", LayerType::ErdasImagine, 1, true, "EPSG:4326"},
        {"world.vrt", LayerType::Vrt, 1, true, "EPSG:4326"},
        {"world.asc", LayerType::AsciiGrid, 1, true, "EPSG:4326"},
        {"N45E007.hgt", LayerType::Srtm, 1, true, "EPSG:4326"},
        {"europe_utm33.nc", LayerType::NetCdf, 1, true, "EPSG:32633"},
    };
    for (const auto& c : cases) {
        const std::string path = kFormats + c.file;
        ASSERT_TRUE(fs::exists(path)) << path;
        EXPECT_EQ(strand32::layerTypeOf(c.file), c.kind) << c.file;
        const auto facts = strand32::readKindFacts(path, strand32::layerTypeOf(c.file), {});
        EXPECT_EQ(facts.kind, c.kind) << c.file << ": " << facts.error;
        EXPECT_EQ(facts.layers.size(), c.layers) << c.file;
        const auto expected = toolExtent(path, c.raster);
        ASSERT_TRUE(facts.extent && expected) << c.file;
        EXPECT_TRUE(near(*facts.extent, *expected, 1e-6)) << c.file;
        EXPECT_TRUE(sameSystem(facts.crsWkt, c.system)) << c.file << ": " << facts.crsName;
    }
}

TEST(KindFacts, a_geopackage_of_two_systems_is_their_union_in_degrees) {
    const std::string path = kFormats + "countries.gpkg";
    const auto contents = strand32::readGeoPackageContents(path);
    ASSERT_TRUE(contents);
    const auto fast = strand32::geoPackageFactsFromContents(*contents, LayerType::GeoPackage);
    ASSERT_TRUE(fast) << "the catalogue states what GDAL reports";
    const auto gdal = strand32::readContainerFacts(path, LayerType::GeoPackage, {});
    ASSERT_EQ(fast->layers.size(), 2u);
    ASSERT_EQ(gdal.layers.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(fast->layers[i].name, gdal.layers[i].name);
        EXPECT_EQ(fast->layers[i].geometryType, gdal.layers[i].geometryType);
        EXPECT_EQ(fast->layers[i].extent, gdal.layers[i].extent) << "to the last bit";
        EXPECT_TRUE(sameSystem(fast->layers[i].crsWkt, gdal.layers[i].crsWkt));
    }
    EXPECT_TRUE(sameSystem(fast->layers[0].crsWkt, "EPSG:4326"));
    EXPECT_TRUE(sameSystem(fast->layers[1].crsWkt, "EPSG:32633"));
    // The file: both layers in degrees on WGS 84, the world's extent.
    EXPECT_TRUE(sameSystem(fast->crsWkt, "EPSG:4326"));
    EXPECT_EQ(fast->extent, gdal.extent);
    ASSERT_TRUE(fast->extent && fast->layers[0].extent);
    const Extent& world = *fast->layers[0].extent;
    EXPECT_TRUE(near(*fast->extent, {world.west, world.north, world.east, world.south}, 1e-6));
}

TEST(KindFacts, a_stale_or_missing_recorded_extent_goes_to_gdal) {
    TempDir dir;
    const struct {
        const char* what;
        const char* sql;
        bool fast;
    } cases[] = {
        {"as written", "SELECT 1", true},
        {"recorded extent larger than the data",
         "UPDATE gpkg_contents SET max_x = 1000 WHERE table_name = 'countries'", true},
        {"recorded extent missing", "UPDATE gpkg_contents SET min_x = NULL", false},
        {"recorded extent stale",
         "UPDATE gpkg_contents SET min_x = 0, max_x = 1, min_y = 0, max_y = 1 WHERE table_name = "
         "'countries'",
         false},
        {"undefined system",
         "UPDATE gpkg_geometry_columns SET srs_id = 0 WHERE table_name = 'countries'", false},
    };
    for (const auto& c : cases) {
        const std::string path = dir / "copy.gpkg";
        fs::copy_file(kFormats + "countries.gpkg", path, fs::copy_options::overwrite_existing);
        testsupport::run("sqlite3 " + testsupport::quoted(path) + " \"" + c.sql + "\"");
        const auto contents = strand32::readGeoPackageContents(path);
        ASSERT_TRUE(contents) << c.what;
        EXPECT_EQ(
            strand32::geoPackageFactsFromContents(*contents, LayerType::GeoPackage).has_value(),
            c.fast)
            << c.what;
    }
    // A stale extent: the file is placed where its data lie, as GDAL
    // computes them from the geometries.
    const std::string path = dir / "copy.gpkg";
    const auto facts = strand32::readKindFacts(path, LayerType::GeoPackage, {});
    ASSERT_EQ(facts.layers.size(), 2u) << facts.error;
    ASSERT_TRUE(facts.layers[0].extent);
    const auto truth =
        strand32::readGeoPackageContents(kFormats + "countries.gpkg")->tables[0].recorded;
    EXPECT_TRUE(near(*facts.layers[0].extent,
                     {truth->west, truth->north, truth->east, truth->south}, 1e-9));
}

TEST(KindFacts, content_decides_the_kinds_their_names_do_not) {
    TempDir dir;
    fs::copy_file(kFormats + "countries.gpkg", dir / "countries.sqlite");
    dir.writeFile("not_a_folder.gdb", "x");
    fs::create_directories(dir / "empty.gdb");
    const struct {
        std::string path;
        LayerType byName, kind;
    } cases[] = {
        {kFormats + "cities.sqlite", LayerType::SpatiaLite, LayerType::SpatiaLite},
        {dir / "countries.sqlite", LayerType::SpatiaLite, LayerType::GeoPackage},
        {kMisc + "notes.sqlite", LayerType::SpatiaLite, LayerType::None},
        {kMisc + "notes.txt", LayerType::SpatiaLite, LayerType::None},
        {kFormats + "world.img", LayerType::ErdasImagine, LayerType::ErdasImagine},
        {kMisc + "disk.img", LayerType::ErdasImagine, LayerType::None},
        {std::string(KAVREL_DATA_DIR) + "/samples/rasters/adrg/ATLANT01.IMG",
         LayerType::ErdasImagine, LayerType::None},
        {kFormats + "world.gdb", LayerType::FileGdb, LayerType::FileGdb},
        {dir / "not_a_folder.gdb", LayerType::FileGdb, LayerType::None},
        {dir / "empty.gdb", LayerType::FileGdb, LayerType::None},
        {kFormats + "cities.geojson", LayerType::GeoJson, LayerType::GeoJson},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strand32::kindByContent(c.path, c.byName), c.kind) << c.path;
    // Not layers: no facts, and a reason.
    for (const std::string& path :
         {kMisc + "notes.sqlite", kMisc + "disk.img", kFormats + "attributes_only.gpkg"}) {
        const auto facts = strand32::readKindFacts(path, strand32::layerTypeOf(path), {});
        EXPECT_EQ(facts.kind, LayerType::None) << path;
        EXPECT_TRUE(facts.layers.empty()) << path;
        EXPECT_FALSE(facts.error.empty()) << path;
    }
}

TEST(KindFacts, flatgeobuf_header_equals_gdal_or_leaves_it_to_gdal) {
    TempDir dir;
    const std::string good = kFormats + "europe_utm33.fgb";
    const auto fast = strand32::readFlatGeobufFacts(good);
    ASSERT_TRUE(fast);
    const auto gdal = strand32::readContainerFacts(good, LayerType::FlatGeobuf, {});
    ASSERT_EQ(gdal.layers.size(), 1u);
    EXPECT_EQ(fast->layers[0].extent, gdal.layers[0].extent) << "to the last bit";
    EXPECT_EQ(fast->layers[0].name, gdal.layers[0].name);
    EXPECT_EQ(fast->layers[0].geometryType, gdal.layers[0].geometryType);
    EXPECT_TRUE(sameSystem(fast->crsWkt, gdal.crsWkt));
    // Damaged headers: nothing read, no crash.
    std::string bytes;
    {
        std::ifstream in(good, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const struct {
        const char* what;
        std::size_t at;
        char value;
        std::size_t keep;
    } cases[] = {
        {"magic", 0, 'x', 0},
        {"version", 3, 2, 0},
        {"header size beyond the file", 11, 0x7f, 0},
        {"cut inside the header", 0, 'f', 40},
        {"root offset out of the header", 12, 0x7f, 0},
        {"vtable offset out of the header", 15, 0x7f, 0},
    };
    for (const auto& c : cases) {
        std::string damaged = bytes;
        damaged[c.at] = c.value;
        if (c.keep)
            damaged.resize(c.keep);
        const std::string path = dir.writeFile("damaged.fgb", damaged);
        EXPECT_FALSE(strand32::readFlatGeobufFacts(path)) << c.what;
    }
}

TEST(KindFacts, photos_are_points_at_their_gps_position) {
    GDALAllRegister();
    // The samples, tagged by exiftool, as GDAL's JPEG driver reads them.
    for (const auto& [file, tagged] :
         {std::pair{"drone_photo.jpg", true}, {"untagged_photo.jpg", false}}) {
        const char* const jpeg[] = {"JPEG", nullptr};
        GDALDatasetH ds =
            GDALOpenEx((kFormats + file).c_str(), GDAL_OF_RASTER, jpeg, nullptr, nullptr);
        ASSERT_NE(ds, nullptr) << file;
        const auto place = strand32::exifPosition(ds);
        GDALClose(ds);
        ASSERT_EQ(place.has_value(), tagged) << file;
        if (place) {
            EXPECT_NEAR(place->lat, 45.8326, 1e-5);
            EXPECT_NEAR(place->lon, 6.8652, 1e-5);
        }
    }
    // A .tiff photo without georeferencing: a point in degrees on WGS 84.
    TempDir dir;
    const std::string tiff = dir / "photo.tiff";
    testsupport::run("gdal_translate -q -of GTiff " +
                     testsupport::quoted(kFormats + "untagged_photo.jpg") + " " +
                     testsupport::quoted(tiff) +
                     " && exiftool -q -overwrite_original -GPSLatitude=10.5 "
                     "-GPSLatitudeRef=S -GPSLongitude=20.25 -GPSLongitudeRef=W " +
                     testsupport::quoted(tiff));
    const auto facts = strand32::readKindFacts(tiff, LayerType::Tiff, {false, true});
    ASSERT_TRUE(facts.extent) << facts.error;
    EXPECT_EQ(*facts.extent, (Extent{-20.25, -10.5, -20.25, -10.5}));
    EXPECT_TRUE(sameSystem(facts.crsWkt, "EPSG:4326"));
    EXPECT_EQ(facts.counts, (strand32::ObjectCounts{1, 0, 0, 0}));
    const struct {
        const char *lat, *latRef, *lon, *lonRef;
        bool valid;
        double x, y;
    } cases[] = {
        {"(45) (30) (0)", "S", "(7) (15) (0)", "W", true, -7.25, -45.5},
        {"(90)", "N", "(180)", "E", true, 180, 90},
        {"(90) (0) (1)", "N", "(0)", "E", false, 0, 0},
        {"(10) (60) (0)", "N", "(0)", "E", false, 0, 0},
        {"(10)", "X", "(0)", "E", false, 0, 0},
        {"(10)", "N", "(0)", "", false, 0, 0},
        {"", "N", "(0)", "E", false, 0, 0},
        {"(1) (2) (3) (4)", "N", "(0)", "E", false, 0, 0},
        {"(-1)", "N", "(0)", "E", false, 0, 0},
        {"(nan)", "N", "(0)", "E", false, 0, 0},
        {"(1", "N", "(0)", "E", false, 0, 0},
    };
    for (const auto& c : cases) {
        const auto p = strand32::parseExifPosition(c.lat, c.latRef, c.lon, c.lonRef);
        EXPECT_EQ(p.has_value(), c.valid) << c.lat << " " << c.lon;
        if (p && c.valid) {
            EXPECT_EQ(std::pair(p->lon, p->lat), std::pair(c.x, c.y)) << c.lat;
        }
    }
}

TEST(KindFacts, rtree_root_is_the_union_of_its_cells) {
    const auto cell = [](float minX, float maxX, float minY, float maxY) {
        std::string c(8, '\0');
        for (float v : {minX, maxX, minY, maxY}) {
            std::uint32_t bits;
            std::memcpy(&bits, &v, 4);
            for (int s = 24; s >= 0; s -= 8)
                c += static_cast<char>(bits >> s);
        }
        return c;
    };
    const auto node = [](int cells, const std::string& body) {
        return std::string{0, 1, 0, static_cast<char>(cells)} + body;
    };
    const struct {
        const char* what;
        std::string bytes;
        std::optional<Extent> extent;
    } cases[] = {
        {"two cells", node(2, cell(0, 1, 2, 3) + cell(-1, 0.5f, 2.5f, 4)), Extent{-1, 4, 1, 2}},
        {"no cells", node(0, ""), std::nullopt},
        {"cut short", node(2, cell(0, 1, 2, 3)), std::nullopt},
        {"min above max", node(1, cell(2, 1, 0, 0)), std::nullopt},
        {"not finite", node(1, cell(0, INFINITY, 0, 0)), std::nullopt},
        {"too short for a header", std::string(3, '\0'), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strand32::rtreeNodeExtent(c.bytes), c.extent) << c.what;
}
