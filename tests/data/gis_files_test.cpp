// The generated sample tree, the world map and the copied real-world files
// open with the GDAL driver their format calls for and carry the coordinate
// system they were written in.
#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(KAVREL_DATA_DIR) / "samples";
const fs::path kRgdal = fs::path(KAVREL_BUILD_DIR) / "testdata" / "rgdal";

struct DatasetCloser {
    void operator()(void* ds) const { GDALClose(ds); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

struct SrsReleaser {
    void operator()(OGRSpatialReferenceH srs) const { OSRRelease(srs); }
};
using Srs = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, SrsReleaser>;

struct FeatureDestroyer {
    void operator()(OGRFeatureH f) const { OGR_F_Destroy(f); }
};
using Feature = std::unique_ptr<std::remove_pointer_t<OGRFeatureH>, FeatureDestroyer>;

Dataset open(const fs::path& path) {
    static const bool registered =
        (GDALAllRegister(), CPLSetErrorHandler(CPLQuietErrorHandler), true);
    (void)registered;
    return Dataset(GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_RASTER | GDAL_OF_READONLY,
                              nullptr, nullptr, nullptr));
}

std::string driverOf(GDALDatasetH ds) {
    return GDALGetDriverShortName(GDALGetDatasetDriver(ds));
}

// The EPSG code of a coordinate system: its own authority code, else the one
// GDAL identifies it with, else its best match when GDAL deems that likely
// (confidence of 50 or more); 0 when none.
int epsgOf(OGRSpatialReferenceH given) {
    if (given == nullptr)
        return 0;
    Srs srs(OSRClone(given));
    const char* code = OSRGetAuthorityCode(srs.get(), nullptr);
    if (code == nullptr && OSRAutoIdentifyEPSG(srs.get()) == OGRERR_NONE)
        code = OSRGetAuthorityCode(srs.get(), nullptr);
    if (code != nullptr)
        return std::atoi(code);
    int count = 0;
    int* confidence = nullptr;
    OGRSpatialReferenceH* matches = OSRFindMatches(srs.get(), nullptr, &count, &confidence);
    int epsg = 0;
    if (count > 0 && confidence[0] >= 50)
        if (const char* c = OSRGetAuthorityCode(matches[0], nullptr))
            epsg = std::atoi(c);
    OSRFreeSRSArray(matches);
    CPLFree(confidence);
    return epsg;
}

int epsgOfDataset(GDALDatasetH ds) {
    if (GDALGetRasterCount(ds) > 0)
        return epsgOf(GDALGetSpatialRef(ds));
    return GDALDatasetGetLayerCount(ds) > 0
               ? epsgOf(OGR_L_GetSpatialRef(GDALDatasetGetLayer(ds, 0)))
               : 0;
}

struct Expected {
    fs::path path;
    const char* driver;
    int epsg; // 0: the format carries no coordinate system
};

const Expected kExpected[] = {
    {kSamples / "world/countries.shp", "ESRI Shapefile", 4326},
    {kSamples / "world/cities.shp", "ESRI Shapefile", 4326},
    {kSamples / "world/countries.tab", "MapInfo File", 4326},
    {kSamples / "world/cities.mif", "MapInfo File", 4326},
    {kSamples / "europe/europe_utm33.shp", "ESRI Shapefile", 32633},
    {kSamples / "europe/europe_utm33.mif", "MapInfo File", 32633},
    {kSamples / "europe/central_etrs89.shp", "ESRI Shapefile", 25833},
    {kSamples / "usa/new_york_stateplane.shp", "ESRI Shapefile", 2263},
    {kSamples / "usa/us_cities.shp", "ESRI Shapefile", 4326},
    {kSamples / "cad/world.dxf", "DXF", 0},
    {kSamples / "cad/europe.dgn", "DGN", 0},
    {kSamples / "rasters/world_geo.tif", "GTiff", 4326},
    {kSamples / "rasters/europe_utm33.tif", "GTiff", 32633},
    {kSamples / "rasters/world_tab.tif", "GTiff", 4326},
    {kSamples / "rasters/world_tfw.tif", "GTiff", 0},
    {kSamples / "rasters/world_jgw.jpg", "JPEG", 0},
    {kSamples / "rasters/world_wld.bmp", "BMP", 0},
    {kSamples / "rasters/adrg/ATLANT01.GEN", "ADRG", 4326},
    {kSamples / "with blank/Capital Cities.SHP", "ESRI Shapefile", 4326},
    {kSamples / "with blank/South America.tab", "MapInfo File", 4326},
    {fs::path(KAVREL_DATA_DIR) / "world.tab", "MapInfo File", 4326},
    {kRgdal / "vectors/cities.shp", "ESRI Shapefile", 4326},
    {kRgdal / "vectors/scot_BNG.shp", "ESRI Shapefile", 27700},
    {kRgdal / "vectors/kiritimati_primary_roads.shp", "ESRI Shapefile", 32604},
    {kRgdal / "vectors/PacoursIKA2.TAB", "MapInfo File", 0}, // several equal matches
    {kRgdal / "vectors/Up.tab", "MapInfo File", 29193},
    {kRgdal / "vectors/ps_cant_31.MIF", "MapInfo File", 0},
    {kRgdal / "pictures/SP27GTIF.TIF", "GTiff", 26771},
    {kRgdal / "pictures/erdas_spnad83.tif", "GTiff", 26966},
};

TEST(sample_data, every_file_opens_with_its_driver_and_coordinate_system) {
    for (const auto& e : kExpected) {
        SCOPED_TRACE(e.path.string());
        const Dataset ds = open(e.path);
        ASSERT_NE(ds, nullptr);
        EXPECT_EQ(driverOf(ds.get()), e.driver);
        EXPECT_EQ(epsgOfDataset(ds.get()), e.epsg);
    }
}

// Files GDAL must refuse: texts and binaries that are no maps, and damaged
// files named like layers.
const char* const kRefused[] = {
    "misc/notes.txt",      "misc/report.pdf",  "misc/blob.bin",      "README.txt",
    "broken/no_index.shp", "broken/empty.tab", "broken/garbage.mif",
};

// Every file the finder would take for a layer is in one of the tables, so a
// sample added to the recipe cannot go unchecked.
TEST(sample_data, every_layer_file_of_the_tree_is_checked) {
    const std::set<std::string> layerExtensions = {".shp", ".tab", ".mif", ".dxf", ".dgn",
                                                   ".tif", ".bmp", ".jpg", ".gen"};
    // The raster table is checked through the image it places; the photos
    // (placed by their GPS tags, not by GDAL) by the reader of those tags.
    std::set<fs::path> checked = {kSamples / "rasters/world_tab.tab",
                                  kSamples / "broken/truncated.tif",
                                  kSamples / "formats/drone_photo.jpg",
                                  kSamples / "formats/untagged_photo.jpg"};
    for (const auto& e : kExpected)
        checked.insert(e.path);
    for (const char* name : kRefused)
        checked.insert(kSamples / name);
    int layers = 0;
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSamples)) {
        bytes += entry.is_regular_file() ? entry.file_size() : 0;
        std::string ext = entry.path().extension().string();
        for (auto& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!layerExtensions.contains(ext))
            continue;
        ++layers;
        EXPECT_TRUE(checked.contains(entry.path())) << entry.path() << " is not checked";
    }
    EXPECT_GE(layers, 22);
    EXPECT_LT(bytes, 10u * 1024 * 1024);
}

// Plain images carry their position in a world file or a MapInfo raster
// table: all four cover the globe in half-degree pixels.
TEST(sample_data, plain_images_are_placed_by_their_companion_files) {
    for (const char* name : {"world_tfw.tif", "world_jgw.jpg", "world_wld.bmp", "world_tab.tif"}) {
        SCOPED_TRACE(name);
        const Dataset ds = open(kSamples / "rasters" / name);
        ASSERT_NE(ds, nullptr);
        std::array<double, 6> gt{};
        ASSERT_EQ(GDALGetGeoTransform(ds.get(), gt.data()), CE_None);
        EXPECT_NEAR(gt[0], -180.0, 1e-6);
        EXPECT_NEAR(gt[3], 90.0, 1e-6);
        EXPECT_NEAR(gt[1], 0.5, 1e-9);
        EXPECT_NEAR(gt[5], -0.5, 1e-9);
        EXPECT_EQ(GDALGetRasterXSize(ds.get()), 720);
        EXPECT_EQ(GDALGetRasterYSize(ds.get()), 360);
    }
}

TEST(sample_data, files_that_are_not_maps_are_refused_by_gdal) {
    for (const char* name : kRefused) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::is_regular_file(kSamples / name));
        EXPECT_EQ(open(kSamples / name), nullptr);
    }
}

// The header of the cut GeoTIFF is whole, its pixels are not.
TEST(sample_data, a_truncated_image_opens_but_its_pixels_cannot_be_read) {
    const Dataset ds = open(kSamples / "broken/truncated.tif");
    ASSERT_NE(ds, nullptr);
    ASSERT_EQ(GDALGetRasterXSize(ds.get()), 720);
    std::vector<unsigned char> row(720);
    GDALRasterBandH band = GDALGetRasterBand(ds.get(), 1);
    EXPECT_EQ(GDALRasterIO(band, GF_Read, 0, 359, 720, 1, row.data(), 720, 1, GDT_Byte, 0, 0),
              CE_Failure);
}

TEST(world_map, countries_of_the_globe_in_a_mapinfo_table) {
    const Dataset ds = open(fs::path(KAVREL_DATA_DIR) / "world.tab");
    ASSERT_NE(ds, nullptr);
    ASSERT_EQ(GDALDatasetGetLayerCount(ds.get()), 1);
    OGRLayerH layer = GDALDatasetGetLayer(ds.get(), 0);
    EXPECT_EQ(OGR_L_GetFeatureCount(layer, TRUE), 177);
    OGREnvelope env;
    ASSERT_EQ(OGR_L_GetExtent(layer, &env, TRUE), OGRERR_NONE);
    EXPECT_NEAR(env.MinX, -180.0, 0.01);
    EXPECT_NEAR(env.MaxX, 180.0, 0.01);
    EXPECT_NEAR(env.MinY, -90.0, 0.01);
    EXPECT_NEAR(env.MaxY, 83.65, 0.01);
    for (const auto ext : {".map", ".dat", ".id"})
        EXPECT_TRUE(fs::is_regular_file(fs::path(KAVREL_DATA_DIR) / (std::string("world") + ext)));
}

// Names are stored in Windows-1252 with fixed widths and read back intact.
TEST(world_map, names_keep_their_accents) {
    const Dataset ds = open(fs::path(KAVREL_DATA_DIR) / "world.tab");
    ASSERT_NE(ds, nullptr);
    OGRLayerH layer = GDALDatasetGetLayer(ds.get(), 0);
    OGRFeatureDefnH defn = OGR_L_GetLayerDefn(layer);
    const int nameField = OGR_FD_GetFieldIndex(defn, "name");
    ASSERT_GE(nameField, 0);
    EXPECT_EQ(OGR_Fld_GetWidth(OGR_FD_GetFieldDefn(defn, nameField)), 40);
    ASSERT_EQ(OGR_L_SetAttributeFilter(layer, "iso_a3 = 'CIV'"), OGRERR_NONE);
    const Feature feature(OGR_L_GetNextFeature(layer));
    ASSERT_NE(feature, nullptr);
    EXPECT_STREQ(OGR_F_GetFieldAsString(feature.get(), nameField), "C\xc3\xb4te d'Ivoire");
}

} // namespace
