// A layer's footprint, read once (shapefiles from their headers), against
// what GDAL gives for the same file through layerExtent and layerCrs: over
// the sample tree and the real-world files, and over damaged shapefiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "gis_writer.h"

#include "regular_file.h"
#include "sample_files.h"
#include "strand32/layer_footprint.h"
#include "temp_dir.h"
#include <gdal.h>
#include <ogr_srs_api.h>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

// Reads `path` twice (the second time with what the first taught) and
// expects both readings to equal GDAL's, to the last bit. True when the
// second came from the header.
bool readsAsGdal(const std::string& path) {
    const auto layer = strand32::layerRefOf(path);
    EXPECT_TRUE(layer.has_value()) << path;
    const strand32::LayerRef d = layer.value_or(strand32::LayerRef{});
    const auto extent = strand32::layerExtent(d);
    const auto crs = strand32::layerCrs(d);
    bool fromHeader = false;
    for (int pass = 0; pass < 2; ++pass) {
        const strand32::LayerFootprint footprint = strand32::readLayerFootprint(d);
        EXPECT_EQ(footprint.extent.has_value(), extent.has_value()) << path;
        if (footprint.extent && extent) {
            EXPECT_TRUE(footprint.extent->west == extent->west &&
                        footprint.extent->north == extent->north &&
                        footprint.extent->east == extent->east &&
                        footprint.extent->south == extent->south)
                << path << " header " << footprint.fromHeader << ": " << footprint.extent->west
                << " " << footprint.extent->north << " " << footprint.extent->east << " "
                << footprint.extent->south << " gdal " << extent->west << " " << extent->north
                << " " << extent->east << " " << extent->south;
        }
        EXPECT_EQ(footprint.crs.has_value(), crs.has_value()) << path;
        if (footprint.crs && crs) {
            EXPECT_EQ(footprint.crs->wkt, crs->wkt) << path;
            EXPECT_EQ(footprint.crs->name, crs->name) << path;
        }
        fromHeader = footprint.fromHeader;
    }
    return fromHeader;
}

// A valid shapefile of three points in EPSG:4326, its parts as bytes.
struct ShapeParts {
    std::string shp, shx, dbf, prj;
    explicit ShapeParts(const TempDir& dir) {
        strand32test::writeVector(dir / "good.shp", "ESRI Shapefile", 4326,
                                  {"POINT (1 2)", "POINT (3 -4)", "POINT (-5 6)"});
        shp = TempDir::readFile(dir / "good.shp");
        shx = TempDir::readFile(dir / "good.shx");
        dbf = TempDir::readFile(dir / "good.dbf");
        prj = TempDir::readFile(dir / "good.prj");
    }
};

// A GeoTIFF of 7 x 5 pixels written by GDAL with creation `options`.
struct TiffCase {
    const char* name;
    std::vector<double> gt; // empty: none
    int epsg;
    bool point; // pixels are points
    std::vector<const char*> options;
};

void writeTiff(const std::string& path, const TiffCase& c) {
    GDALAllRegister();
    std::vector<const char*> options = c.options;
    options.push_back(nullptr);
    GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), 7, 5, 1, GDT_Byte,
                                 const_cast<char**>(options.data()));
    ASSERT_NE(ds, nullptr) << path;
    if (c.point)
        GDALSetMetadataItem(ds, GDALMD_AREA_OR_POINT, GDALMD_AOP_POINT, nullptr);
    if (!c.gt.empty())
        GDALSetGeoTransform(ds, const_cast<double*>(c.gt.data()));
    if (c.epsg != 0) {
        OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
        OSRImportFromEPSG(srs, c.epsg);
        GDALSetSpatialRef(ds, srs);
        OSRRelease(srs);
    }
    GDALClose(ds);
}

void putDouble(std::string& bytes, std::size_t at, double value) {
    std::memcpy(bytes.data() + at, &value, sizeof value); // little-endian machine
}

} // namespace

TEST(LayerFootprint, every_sample_and_real_world_file_reads_as_gdal_reads_it) {
    const std::vector<std::string> files = strand32test::layerFiles();
    if (files.empty())
        GTEST_SKIP() << "sample data and real-world files not built";
    int fromHeader = 0;
    for (const std::string& path : files)
        fromHeader += readsAsGdal(path) ? 1 : 0;
    EXPECT_GE(fromHeader, 5); // the trees' sound shapefiles
}

TEST(LayerFootprint, damaged_shapefiles_read_as_gdal_reads_them) {
    TempDir dir;
    const ShapeParts good(dir);
    std::string nanBox = good.shp;
    putDouble(nanBox, 36, std::nan(""));
    std::string backwards = good.shp;
    putDouble(backwards, 36, 100.0); // xmin beyond xmax
    // Both parts stating the same inverted box: west beyond east, south above north.
    std::string westBeyondEast[] = {good.shp, good.shx};
    std::string southAboveNorth[] = {good.shp, good.shx};
    for (std::string* part : {&westBeyondEast[0], &westBeyondEast[1]})
        putDouble(*part, 36, 100.0);
    for (std::string* part : {&southAboveNorth[0], &southAboveNorth[1]})
        putDouble(*part, 44, 100.0);
    std::string nullType = good.shp;
    nullType[32] = 0;
    std::string badCode = good.shp;
    badCode[3] = 0x0b;
    std::string farOffset = good.shx;
    farOffset[100] = '\x80';
    std::string shortDbf = good.dbf;
    shortDbf[8] = 10; // a header shorter than its own 32 bytes
    const struct {
        const char* name;
        std::string shp, shx, dbf, prj;
    } cases[] = {
        {"sound", good.shp, good.shx, good.dbf, good.prj},
        {"no_prj", good.shp, good.shx, good.dbf, ""},
        {"odd_prj", good.shp, good.shx, good.dbf, "PROJCS[\"mine\",GEOGCS[\"unknown\"]]"},
        {"cut_shp", good.shp.substr(0, good.shp.size() - 7), good.shx, good.dbf, good.prj},
        {"header_only", good.shp.substr(0, 100), good.shx, good.dbf, good.prj},
        {"nan_box", nanBox, good.shx, good.dbf, good.prj},
        {"backwards_box", backwards, good.shx, good.dbf, good.prj},
        {"west_beyond_east", westBeyondEast[0], westBeyondEast[1], good.dbf, good.prj},
        {"south_above_north", southAboveNorth[0], southAboveNorth[1], good.dbf, good.prj},
        {"null_type", nullType, good.shx, good.dbf, good.prj},
        {"bad_code", badCode, good.shx, good.dbf, good.prj},
        {"cut_shx", good.shp, good.shx.substr(0, 110), good.dbf, good.prj},
        {"far_offset", good.shp, farOffset, good.dbf, good.prj},
        {"no_dbf", good.shp, good.shx, "", good.prj},
        {"short_dbf", good.shp, good.shx, shortDbf, good.prj},
    };
    for (const auto& c : cases) {
        const std::string stem = dir / c.name;
        dir.writeFile(std::string(c.name) + ".shp", c.shp);
        dir.writeFile(std::string(c.name) + ".shx", c.shx);
        if (!c.dbf.empty())
            dir.writeFile(std::string(c.name) + ".dbf", c.dbf);
        if (!c.prj.empty())
            dir.writeFile(std::string(c.name) + ".prj", c.prj);
        const bool fromHeader = readsAsGdal(stem + ".shp");
        // Only sound parts are read from the headers, whatever the .prj says;
        // GDAL takes no part of the extent from the attribute table.
        const std::string name = c.name;
        EXPECT_EQ(fromHeader, name == "sound" || name == "no_prj" || name == "odd_prj" ||
                                  name == "no_dbf" || name == "short_dbf")
            << name;
    }
    // Upper-case parts are found as GDAL finds them.
    for (const char* ext : {".SHP", ".SHX", ".DBF", ".PRJ"}) {
        std::string lower(ext);
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        const std::string bytes = lower == ".shp"   ? good.shp
                                  : lower == ".shx" ? good.shx
                                  : lower == ".dbf" ? good.dbf
                                                    : good.prj;
        dir.writeFile(std::string("upper").append(ext), bytes);
    }
    EXPECT_TRUE(readsAsGdal(dir / "upper.SHP"));
}

TEST(LayerFootprint, shapefile_headers_changed_at_random_read_as_gdal_reads_them) {
    TempDir dir;
    const ShapeParts good(dir);
    std::mt19937 random(20240611);
    for (int i = 0; i < 150; ++i) {
        std::string parts[] = {good.shp, good.shx, good.dbf};
        std::string& bytes = parts[i % 3];
        const std::size_t span = i % 3 == 2 ? 32 : 108; // headers and the first record
        for (int flips = 1 + i % 4; flips > 0; --flips)
            bytes[random() % span] ^= static_cast<char>(1u << (random() % 8));
        const std::string& shp = parts[0];
        const std::string& shx = parts[1];
        std::string name = std::to_string(i);
        name.insert(0, 1, 'r');
        dir.writeFile(name + ".shp", shp);
        dir.writeFile(name + ".shx", shx);
        dir.writeFile(name + ".dbf", parts[2]);
        dir.writeFile(name + ".prj", good.prj);
        readsAsGdal(dir / (name + ".shp"));
    }
}

TEST(LayerFootprint, geotiffs_read_as_gdal_reads_them) {
    TempDir dir;
    const std::vector<double> degrees{10.5, 0.25, 0, 50.75, 0, -0.125};
    const std::vector<double> metres{400000, 30, 0, 5600000, 0, -30};
    const TiffCase cases[] = {
        {"plain", degrees, 4326, false, {}},
        {"point", degrees, 4326, true, {}},
        {"utm_point", metres, 32633, true, {}},
        {"no_system", metres, 0, false, {}},
        {"tiled_lzw_big_endian",
         degrees,
         4326,
         false,
         {"TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16", "COMPRESS=LZW", "ENDIANNESS=BIG"}},
        {"bands_apart", degrees, 4326, false, {"INTERLEAVE=BAND"}},
        {"rotated", {10, 0.25, 0.05, 50, 0.05, -0.25}, 4326, false, {}},
        {"not_placed", {}, 4326, false, {}},
        {"jpeg_inside", degrees, 4326, false, {"COMPRESS=JPEG"}},
        {"beside_a_world_file", degrees, 4326, false, {}},
        {"tie_point_inside", degrees, 4326, false, {}}, // after a sound file with its keys
    };
    for (const TiffCase& c : cases)
        writeTiff(dir / (std::string(c.name) + ".tif"), c);
    // The tie point moved from raster (0, 0) to (2, 3): the image lies elsewhere.
    std::string tied = TempDir::readFile(dir / "tie_point_inside.tif");
    std::string tie(48, '\0');
    putDouble(tie, 24, degrees[0]);
    putDouble(tie, 32, degrees[3]);
    const auto at = tied.find(tie);
    ASSERT_NE(at, std::string::npos);
    putDouble(tied, at, 2.0);
    putDouble(tied, at + 8, 3.0);
    dir.writeFile("tie_point_inside.tif", tied);
    dir.writeFile("beside_a_world_file.tfw", "1\n0\n0\n-1\n100.5\n200.5\n");
    for (const TiffCase& c : cases) {
        const std::string name = c.name;
        const bool plain = name == "plain" || name == "point" || name == "utm_point" ||
                           name == "no_system" || name == "tiled_lzw_big_endian" ||
                           name == "bands_apart" || name == "tie_point_inside";
        EXPECT_EQ(readsAsGdal(dir / (name + ".tif")), plain) << name;
    }
    // Side files GDAL would read, written later, send the same file to GDAL.
    dir.writeFile("plain.tif.aux.xml", "<PAMDataset><GeoTransform>0, 1, 0, 0, 0, -1</GeoTransform>"
                                       "</PAMDataset>");
    EXPECT_FALSE(readsAsGdal(dir / "plain.tif"));
}

TEST(LayerFootprint, geotiff_headers_changed_at_random_read_as_gdal_reads_them) {
    TempDir dir;
    writeTiff(dir / "good.tif", {"good", {10.5, 0.25, 0, 50.75, 0, -0.125}, 4326, true, {}});
    const std::string good = TempDir::readFile(dir / "good.tif");
    std::mt19937 random(7);
    for (int i = 0; i < 150; ++i) {
        std::string bytes = good;
        for (int flips = 1 + i % 3; flips > 0; --flips)
            bytes[random() % std::min<std::size_t>(bytes.size(), 400)] ^=
                static_cast<char>(1u << (random() % 8));
        std::string name = std::to_string(i);
        name.insert(0, 1, 't');
        readsAsGdal(dir.writeFile(name.append(".tif"), bytes));
    }
}

TEST(LayerFootprint, the_header_reader_opens_regular_files_only) {
    TempDir dir;
    const std::string fifo = dir / "pipe.shp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A pipe would block an open without a writer; none of these is opened.
    for (const std::string& path : {fifo, dir.makeFolder("folder.shp"), std::string("/dev/null")})
        EXPECT_FALSE(strand32::RegularFile::open(path)) << path;
    // A shapefile whose index is a folder goes to GDAL, which refuses it.
    const ShapeParts good(dir);
    dir.makeFolder("odd.shx");
    dir.writeFile("odd.shp", good.shp);
    dir.writeFile("odd.dbf", good.dbf);
    EXPECT_FALSE(readsAsGdal(dir / "odd.shp"));
}
