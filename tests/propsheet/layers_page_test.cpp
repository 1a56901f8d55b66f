// The pages of files of several layers (GeoPackages, geodatabases) and of
// the other new kinds: Geography shows the union, Spatial Objects counts
// over all layers, and a third page, Layers, lists each layer with its
// geometry type, objects (on Count) and system, for files of more than one
// layer only.
#include "gdal_tools.h"
#include "hive_env.h"
#include "page_rows.h"
#include "property_session.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using namespace velmorahost;
using testsupport::quoted;
using testsupport::run;

namespace {

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";
constexpr int kCount = 1010;

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows rowsOf(platform::HWND dialog) {
    Rows rows;
    for (const PageRow& row : pageRows(dialog))
        rows.emplace_back(row.label, row.value);
    return rows;
}

std::string featureCount(const std::string& path, const std::string& layer) {
    const std::string out = run("ogrinfo -ro -so " + quoted(path) + " " + quoted(layer));
    std::smatch m;
    static const std::regex count(R"(Feature Count: (\d+))");
    return std::regex_search(out, m, count) ? m[1].str() : "?";
}

class LayersPage : public testing::Test {
protected:
    testsupport::HiveEnv hives_{testsupport::databaseHive(KAVREL_DATA_DIR)};
};

} // namespace

TEST_F(LayersPage, appears_for_files_of_more_than_one_layer_with_each_layer_and_its_count) {
    const std::string gpkg = kSamples + "formats/countries.gpkg";
    const std::string gdb = kSamples + "formats/world.gdb";
    const struct {
        std::string file;
        std::vector<std::string> titles;
        Rows layers;  // as the page opens
        Rows counted; // after its Count
    } cases[] = {
        {gpkg,
         {"Geography", "Spatial Objects", "Layers"},
         {{"Layer", "Geometry, objects, system"},
          {"countries", "Multi Polygon, Not counted, WGS 84"},
          {"europe_utm33", "Multi Polygon, Not counted, WGS 84 / UTM zone 33N"}},
         {{"Layer", "Geometry, objects, system"},
          {"countries", "Multi Polygon, " + featureCount(gpkg, "countries") + " objects, WGS 84"},
          {"europe_utm33", "Multi Polygon, " + featureCount(gpkg, "europe_utm33") +
                               " objects, WGS 84 / UTM zone 33N"}}},
        {gdb,
         {"Geography", "Spatial Objects", "Layers"},
         {{"Layer", "Geometry, objects, system"},
          {"countries", "Multi Polygon, Not counted, WGS 84"},
          {"cities", "Point, Not counted, WGS 84"}},
         {{"Layer", "Geometry, objects, system"},
          {"countries", "Multi Polygon, " + featureCount(gdb, "countries") + " objects, WGS 84"},
          {"cities", "Point, " + featureCount(gdb, "cities") + " objects, WGS 84"}}},
        // One layer: two pages, whatever the kind.
        {kSamples + "formats/cities.sqlite", {"Geography", "Spatial Objects"}, {}, {}},
        {kSamples + "formats/cities.geojson", {"Geography", "Spatial Objects"}, {}, {}},
        {kSamples + "formats/cloud_1_4.las", {"Geography", "Spatial Objects"}, {}, {}},
        {kSamples + "world/countries.shp", {"Geography", "Spatial Objects"}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        PropertySession session(VELMORA_LIBRARY);
        ASSERT_TRUE(session.open({c.file})) << session.error();
        std::vector<std::string> titles;
        for (const SheetPage& page : session.pages())
            titles.push_back(page.title);
        EXPECT_EQ(titles, c.titles);
        if (session.pages().size() < 3)
            continue;
        const platform::HWND layers = session.pages()[2].dialog;
        EXPECT_EQ(rowsOf(layers), c.layers);
        pressButton(layers, kCount);
        EXPECT_EQ(rowsOf(layers), c.counted);
    }
}

TEST_F(LayersPage, a_container_shows_the_union_and_counts_over_all_layers) {
    const std::string gpkg = kSamples + "formats/countries.gpkg";
    PropertySession session(VELMORA_LIBRARY);
    ASSERT_TRUE(session.open({gpkg})) << session.error();
    ASSERT_GE(session.pages().size(), 2u);
    // Layers in degrees and in UTM 33N: the union in degrees is the world's.
    const Rows geography = rowsOf(session.pages()[0].dialog);
    ASSERT_EQ(geography.size(), 7u);
    EXPECT_EQ(geography[0].second, "LAT-LONG");
    EXPECT_EQ(geography[3].second, "83°38'42.468\"N");
    EXPECT_EQ(geography[4].second, "180°00'00.000\"W");
    pressButton(session.pages()[1].dialog, kCount);
    const Rows objects = rowsOf(session.pages()[1].dialog);
    const int all =
        std::stoi(featureCount(gpkg, "countries")) + std::stoi(featureCount(gpkg, "europe_utm33"));
    EXPECT_EQ(objects[2],
              (std::pair<std::string, std::string>{"Polygon Objects:", std::to_string(all)}));
    EXPECT_EQ(objects[4].second, std::to_string(all));
}

TEST_F(LayersPage, layers_beyond_its_rows_are_told_on_the_last_row) {
    testsupport::TempDir dir;
    const std::string gpkg = dir / "many.gpkg";
    const struct {
        int layers;
        std::string last; // the last row
    } cases[] = {{12, "layer12"}, {13, "More"}};
    int written = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layers);
        for (; written < c.layers; ++written)
            run(std::string("ogr2ogr -f GPKG ") + (written > 0 ? "-update " : "") + quoted(gpkg) +
                " " + quoted(kSamples + "world/cities.shp") + " -nln layer" +
                std::to_string(written + 1));
        PropertySession session(VELMORA_LIBRARY);
        ASSERT_TRUE(session.open({gpkg})) << session.error();
        ASSERT_EQ(session.pages().size(), 3u);
        const Rows rows = rowsOf(session.pages()[2].dialog);
        ASSERT_EQ(rows.size(), 13u); // the heading and twelve rows
        EXPECT_EQ(rows.back().first, c.last);
        if (c.last == "More") {
            EXPECT_EQ(rows.back().second, "2 more layers");
        }
    }
}
