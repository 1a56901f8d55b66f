// readFileFacts over the kinds beyond the layer table and the table's own:
// the keys of every layer and of the file, the area in degrees, counts over
// all layers equal to GDAL's feature counts, and what is no layer (or a
// damaged point cloud) told with a reason rather than facts.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "gdal_tools.h"
#include "strand32/file_facts.h"
#include "temp_dir.h"

using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";

std::string systemKey(const std::optional<CoordSysKeys>& keys) {
    return keys ? std::string(keys->system) : std::string("(none)");
}

// The feature count ogrinfo reports for one layer of a dataset.
std::int64_t featureCount(const std::string& path, const std::string& layer) {
    const std::string out = testsupport::run("ogrinfo -ro -so " + testsupport::quoted(path) + " " +
                                             testsupport::quoted(layer));
    std::smatch m;
    static const std::regex count(R"(Feature Count: (\d+))");
    return std::regex_search(out, m, count) ? std::stoll(m[1]) : -1;
}

std::int64_t total(const strand32::ObjectCounts& c) {
    return c.points + c.lines + c.polygons + c.others;
}

} // namespace

TEST(FileFacts, keys_are_read_for_every_layer_and_the_file_with_the_area_in_degrees) {
    const struct {
        const char* file;
        const char* system;              // the file's
        std::vector<std::string> layers; // each layer's
        bool projected;                  // its area in degrees differs from its extent
    } cases[] = {
        {"formats/countries.gpkg", "LAT-LONG", {"LAT-LONG", "UTM-33N"}, false},
        {"formats/world.gdb", "LAT-LONG", {"LAT-LONG", "LAT-LONG"}, false},
        {"formats/europe_utm33.fgb", "UTM-33N", {"UTM-33N"}, true},
        {"formats/europe_utm33.nc", "UTM-33N", {"UTM-33N"}, true},
        {"formats/cloud_1_2.las", "UTM-33N", {"UTM-33N"}, true},
        {"formats/cloud_1_4.las", "UTM-33N", {"UTM-33N"}, true},
        {"formats/drone_photo.jpg", "LAT-LONG", {"LAT-LONG"}, false},
        {"europe/europe_utm33.shp", "UTM-33N", {"UTM-33N"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto facts = strand32::readFileFacts(kSamples + c.file, {.keys = true});
        EXPECT_TRUE(facts.keysRead);
        EXPECT_EQ(systemKey(facts.keys), c.system);
        std::vector<std::string> layers;
        for (const auto& layer : facts.layers)
            layers.push_back(systemKey(layer.keys));
        EXPECT_EQ(layers, c.layers);
        ASSERT_TRUE(facts.extent && facts.lonLat);
        EXPECT_EQ(*facts.lonLat != *facts.extent, c.projected);
        // Within the world (a geodatabase stores 180 as a hair more).
        EXPECT_TRUE(facts.lonLat->west >= -180 - 1e-9 && facts.lonLat->east <= 180 + 1e-9 &&
                    facts.lonLat->south >= -90 - 1e-9 && facts.lonLat->north <= 90 + 1e-9);
        // Without keys asked for, none is read.
        const auto plain = strand32::readFileFacts(kSamples + c.file, {});
        EXPECT_FALSE(plain.keysRead || plain.keys);
        EXPECT_EQ(plain.lonLat, facts.lonLat);
    }
}

TEST(FileFacts, counts_cover_every_layer_and_equal_gdals_feature_counts) {
    for (const char* file : {"formats/countries.gpkg", "formats/world.gdb", "formats/cities.kml",
                             "formats/cities.sqlite"}) {
        SCOPED_TRACE(file);
        const std::string path = kSamples + file;
        const auto facts = strand32::readFileFacts(path, {.counts = true});
        ASSERT_TRUE(facts.countsRead && facts.counts);
        ASSERT_FALSE(facts.layers.empty());
        std::int64_t sum = 0;
        for (const auto& layer : facts.layers) {
            ASSERT_TRUE(layer.counts) << layer.name;
            EXPECT_EQ(total(*layer.counts), featureCount(path, layer.name)) << layer.name;
            sum += total(*layer.counts);
        }
        EXPECT_EQ(total(*facts.counts), sum);
        // Not asked for: not counted, also where the catalogue answers.
        const auto plain = strand32::readFileFacts(path, {});
        EXPECT_FALSE(plain.countsRead || plain.counts);
        for (const auto& layer : plain.layers)
            EXPECT_FALSE(layer.counts) << layer.name;
    }
    const struct {
        const char* file;
        strand32::ObjectCounts counts;
    } singles[] = {
        {"formats/drone_photo.jpg", {1, 0, 0, 0}},    // a photo is a point
        {"formats/untagged_photo.jpg", {0, 0, 0, 1}}, // a picture one other object
        {"formats/world.tiff", {0, 0, 0, 1}},
    };
    for (const auto& c : singles) {
        const auto facts = strand32::readFileFacts(kSamples + c.file, {.counts = true});
        ASSERT_TRUE(facts.counts) << c.file;
        EXPECT_EQ(*facts.counts, c.counts) << c.file;
    }
}

TEST(FileFacts, what_is_no_layer_and_a_damaged_point_cloud_say_why_and_tell_nothing) {
    TempDir dir;
    std::ifstream in(kSamples + "formats/cloud_1_2.las", std::ios::binary);
    const std::string las((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    dir.writeFile("short.las", las.substr(0, 200));
    dir.writeFile("signature.las", "LASX" + las.substr(4));
    std::string smallHeader = las;
    smallHeader[94] = 10, smallHeader[95] = 0; // header size 10
    dir.writeFile("header_size.las", smallHeader);
    dir.writeFile("plain_file.gdb", "x");
    const struct {
        std::string path;
        LayerType kind;
    } cases[] = {
        {kSamples + "misc/notes.sqlite", LayerType::None},
        {kSamples + "misc/disk.img", LayerType::None},
        {kSamples + "formats/attributes_only.gpkg", LayerType::None},
        {dir / "plain_file.gdb", LayerType::None},
        {dir / "short.las", LayerType::Las},
        {dir / "signature.las", LayerType::Las},
        {dir / "header_size.las", LayerType::Las},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto facts = strand32::readFileFacts(c.path, {.keys = true, .counts = true});
        EXPECT_EQ(facts.kind, c.kind);
        EXPECT_FALSE(facts.error.empty());
        EXPECT_FALSE(facts.extent || facts.lonLat || facts.keys || facts.counts);
        EXPECT_TRUE(facts.layers.empty());
    }
}

namespace {

// A system's definition is shared by the facts that copy it, and reads and
// compares as its text.
TEST(SharedText, copies_share_one_text_and_compare_by_text) {
    const strand32::SharedText wkt(std::string(2000, 'w'));
    const strand32::SharedText copy = wkt;
    EXPECT_EQ(&copy.str(), &wkt.str());
    const struct {
        strand32::SharedText a, b;
        bool equal;
    } cases[] = {
        {wkt, copy, true},
        {wkt, strand32::SharedText(std::string(2000, 'w')), true}, // equal, not shared
        {wkt, strand32::SharedText(std::string(1999, 'w')), false},
        {{}, std::string(), true}, // empty either way
        {{}, "x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.size() << " " << c.b.size();
        EXPECT_EQ(c.a == c.b.str(), c.equal);
    }
    EXPECT_TRUE(strand32::SharedText(std::string()).empty());
    const std::string& text = wkt;
    EXPECT_EQ(text.size(), 2000u);
}

} // namespace
