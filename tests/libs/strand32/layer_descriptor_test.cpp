// Kinds of layer by extension and the descriptors built for the finder's
// candidate test and for the property pages.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "strand32/layer.h"
#include "temp_dir.h"

using strand32::LayerType;
using testsupport::TempDir;

namespace {

std::string slot(const LayerDescriptor& d, int i) {
    const char* s = i == 0 ? d.fileName : d.companion[i - 1];
    return std::string(s, strnlen(s, strand32::kLayerPathSize));
}

} // namespace

TEST(LayerDescriptor, type_by_extension_ignoring_case) {
    const struct {
        const char* name;
        LayerType type;
    } cases[] = {
        {"a.zvl", LayerType::Zvl},
        {"a.TIF", LayerType::Raster},
        {"a.Bmp", LayerType::Raster},
        {"a.jpg", LayerType::Raster},
        {"a.KAP", LayerType::Raster},
        {"a.dxf", LayerType::Dxf},
        {"a.DWG", LayerType::Dwg},
        {"a.shp", LayerType::Shape},
        {"a.MIF", LayerType::MifMid},
        {"a.dgn", LayerType::Dgn},
        {"a.Tab", LayerType::TabTable},
        {"a.KPG", LayerType::None},
        {"a.shp.bak", LayerType::None},
        // Kinds beyond the table, and names close to them that are none.
        {"a.GPKG", LayerType::GeoPackage},
        {"a.geojson", LayerType::GeoJson},
        {"a.json", LayerType::None},
        {"a.Fgb", LayerType::FlatGeobuf},
        {"a.kml", LayerType::Kml},
        {"a.KMZ", LayerType::Kmz},
        {"a.gml", LayerType::Gml},
        {"a.xml", LayerType::None},
        {"a.SQLite", LayerType::SpatiaLite},
        {"a.sqlite3", LayerType::None},
        {"a.db", LayerType::None},
        {"x.GDB", LayerType::FileGdb},
        {"a.tiff", LayerType::Tiff},
        {"a.TIFF", LayerType::Tiff},
        {"a.jp2", LayerType::Jpeg2000},
        {"a.j2k", LayerType::None},
        {"a.nc", LayerType::NetCdf},
        {"a.nc4", LayerType::None},
        {"a.IMG", LayerType::ErdasImagine},
        {"a.vrt", LayerType::Vrt},
        {"a.asc", LayerType::AsciiGrid},
        {"N45E007.HGT", LayerType::Srtm},
        {"a.las", LayerType::Las},
        {"a.LAZ", LayerType::Laz},
        {"a.jpeg", LayerType::None},
        {"x.gdb/a00000001.gdbtable", LayerType::None},
        {"noextension", LayerType::None},
        {"a.", LayerType::None},
        {"dir.shp/file", LayerType::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strand32::layerTypeOf(c.name), c.type) << c.name;
}

TEST(LayerDescriptor, companion_slots_by_kind) {
    const struct {
        const char* name;
        const char* slots[3];
    } cases[] = {
        {"dir/map.zvl", {"dir/map.LD1", "dir/map.LD2", "dir/map.LD3"}},
        {"roads.shp", {"roads.SHX", "", ""}},
        {"c:/x.y/parcels.MIF", {"c:/x.y/parcels.MID", "", ""}},
        {"world.tab", {"", "", "wr512pqtzvbe648m"}},
        {"plan.dxf", {"", "", ""}},
        {"plan.dwg", {"", "", ""}},
        {"plan.dgn", {"", "", ""}},
        {"dir/world.gpkg", {"", "", ""}},
        {"cloud.laz", {"", "", ""}},
    };
    for (const auto& c : cases) {
        LayerDescriptor d;
        std::memset(&d, 0x55, sizeof d);
        ASSERT_TRUE(strand32::buildLayerDescriptor(c.name, d)) << c.name;
        EXPECT_EQ(slot(d, 0), c.name);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(slot(d, i + 1), c.slots[i]) << c.name << " slot " << i + 1;
        // Unused bytes are zero: the descriptor was cleared before filling.
        for (std::size_t i = std::strlen(d.fileName); i < strand32::kLayerPathSize; ++i)
            ASSERT_EQ(d.fileName[i], '\0') << c.name;
        EXPECT_EQ(d.layerType, static_cast<std::uint16_t>(strand32::layerTypeOf(c.name)));
    }
}

TEST(LayerDescriptor, unknown_kind_stores_only_the_zero_type) {
    LayerDescriptor d;
    std::memset(&d, 0x55, sizeof d);
    EXPECT_FALSE(strand32::buildLayerDescriptor("photo.KPG", d));
    const LayerDescriptor zero{};
    EXPECT_EQ(std::memcmp(&d, &zero, sizeof d), 0);
}

TEST(LayerDescriptor, raster_takes_first_existing_georeferencing_companion) {
    TempDir dir;
    const std::string stem = dir / "scan";
    // Nothing beside the image: the raster table's name, not tested.
    LayerDescriptor d;
    ASSERT_TRUE(strand32::buildLayerDescriptor(stem + ".tif", d));
    EXPECT_EQ(slot(d, 1), stem + ".TAB");
    // Priority .RSF, .TFW, .WLD, .JGW, whatever the letter case of the file:
    // each file added outranks the ones before.
    const std::pair<const char*, const char*> steps[] = {
        {"scan.jgw", ".JGW"}, {"scan.WLD", ".WLD"}, {"scan.Tfw", ".TFW"}, {"scan.RSF", ".RSF"}};
    for (const auto& [file, slotExtension] : steps) {
        dir.writeFile(file, "1\n0\n0\n-1\n0\n0\n");
        ASSERT_TRUE(strand32::buildLayerDescriptor(stem + ".tif", d));
        EXPECT_EQ(slot(d, 1), stem + slotExtension) << file;
    }
    // A folder of that name is no companion.
    TempDir other;
    other.makeFolder("scan.TFW");
    ASSERT_TRUE(strand32::buildLayerDescriptor(other / "scan.bmp", d));
    EXPECT_EQ(slot(d, 1), other / "scan.TAB");
}

TEST(LayerDescriptor, bare_names_follow_the_current_folder) {
    TempDir a;
    TempDir b;
    a.writeFile("x.jgw");
    b.writeFile("x.Wld");
    const auto previous = std::filesystem::current_path();
    LayerDescriptor d;
    std::filesystem::current_path(a.path());
    ASSERT_TRUE(strand32::buildLayerDescriptor("x.tif", d));
    EXPECT_EQ(slot(d, 1), "x.JGW");
    std::filesystem::current_path(b.path());
    ASSERT_TRUE(strand32::buildLayerDescriptor("x.tif", d));
    EXPECT_EQ(slot(d, 1), "x.WLD");
    std::filesystem::current_path(previous);
}

TEST(LayerDescriptor, long_names_are_cut_to_their_slot) {
    const std::string name = std::string(300, 'a') + ".shp";
    LayerDescriptor d;
    ASSERT_TRUE(strand32::buildLayerDescriptor(name, d));
    EXPECT_EQ(slot(d, 0), name.substr(0, 255));
    EXPECT_EQ(slot(d, 1), std::string(255, 'a'));
    EXPECT_EQ(d.layerType, 16);
}

TEST(RasterTable, referenced_image_found) {
    TempDir dir;
    const struct {
        const char* text;
        const char* image; // null: not a raster table
    } cases[] = {
        {"!table\nDefinition Table\n  File \"scan.tif\"\n  Type \"RASTER\"\n", "scan.tif"},
        {"File \"sub dir\\Scan.JPG\" Type RASTER", "sub dir\\Scan.JPG"},
        {"Definition Table\n  Type NATIVE Charset \"Neutral\"\n", nullptr},
        {"File \"roads.dat\"\nType NATIVE\n", nullptr}, // no RASTER
        {"Type RASTER\nFile \"late.tif\"\n", nullptr},  // Type before File
        {"File scan.tif Type RASTER", nullptr},         // no quote
        {"File \"open.tif Type RASTER", nullptr},       // name runs to the end
        {"file \"scan.tif\" type raster", nullptr},     // the search is case-sensitive
    };
    for (const auto& c : cases) {
        const std::string path = dir.writeFile("t.tab", c.text);
        const auto image = strand32::rasterTableImage(path);
        if (c.image)
            EXPECT_EQ(image.value_or("<none>"), c.image) << c.text;
        else
            EXPECT_FALSE(image) << c.text;
    }
    const std::string longName = "File \"" + std::string(400, 'n') + "\" Type \"RASTER\"";
    EXPECT_FALSE(strand32::rasterTableImage(dir.writeFile("long.tab", longName)));
    EXPECT_FALSE(strand32::rasterTableImage(dir / "missing.tab"));
    EXPECT_FALSE(strand32::rasterTableImage(dir.makeFolder("folder.tab")));
    const std::string huge = "File \"big.tif\" Type RASTER" + std::string(2 << 20, ' ');
    EXPECT_FALSE(strand32::rasterTableImage(dir.writeFile("huge.tab", huge)));
}

TEST(PageDescriptor, raster_table_stands_for_its_image) {
    TempDir dir;
    const std::string tab = dir.writeFile(
        "sheet.TAB", "Definition Table\n File \"img\\chart.jpg\"\n Type \"RASTER\"\n");
    dir.writeFile("img/chart.jgw", "1\n0\n0\n-1\n0\n0\n");
    LayerDescriptor d;
    strand32::buildPageLayerDescriptor(tab, d);
    EXPECT_EQ(slot(d, 0), dir / "img/chart.jpg");
    EXPECT_EQ(slot(d, 1), dir / "img/chart.JGW");
    EXPECT_EQ(d.layerType, 2);

    const std::string elsewhere = dir.writeFile(
        "elsewhere.tab", "File \"" + (dir / "img/chart.jpg") + "\"\nType \"RASTER\"\n");
    strand32::buildPageLayerDescriptor(elsewhere, d);
    EXPECT_EQ(slot(d, 0), dir / "img/chart.jpg"); // a full path stands as it is

    const std::string vectorTab = dir.writeFile("roads.tab", "Definition Table\n Type NATIVE\n");
    strand32::buildPageLayerDescriptor(vectorTab, d);
    EXPECT_EQ(slot(d, 0), vectorTab);
    EXPECT_EQ(slot(d, 3), "wr512pqtzvbe648m");
    EXPECT_EQ(d.layerType, 20480);
}

TEST(PageDescriptor, unknown_kind_still_described) {
    LayerDescriptor d;
    strand32::buildPageLayerDescriptor("/data/readme.txt", d);
    EXPECT_EQ(slot(d, 0), "/data/readme.txt");
    EXPECT_EQ(slot(d, 1), "");
    EXPECT_EQ(d.layerType, 0);
}
