// kavrel-find over files of the kinds beyond the layer table, written by
// GDAL's tools: each found by "( All types )" and by its own pattern with
// GDAL's extent and system; what is no layer left out; a File Geodatabase
// as one row; photos placed by their GPS tags; containers and
// geodatabases answered by the footprint cache until they change.
#include "kavrel_find_run.h"

#include "gdal_tools.h"
#include "open_counter.h"
#include "temp_dir.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>

namespace {

using clitest::runKavrelFind;
using clitest::with;
using testsupport::OpenCounter;
using testsupport::TempDir;
namespace fs = std::filesystem;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";
const std::string kFormats = kSamples + "/formats";
const std::vector<std::string> kWorld = {"--area", "-180", "90", "180", "-90", "--lat-lon"};

// The JSON rows of a run, by file name.
std::map<std::string, QJsonObject> rowsByName(const std::string& out) {
    std::map<std::string, QJsonObject> rows;
    for (const std::string& line : clitest::lines(out)) {
        const QJsonObject row = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        rows[row["name"].toString().toStdString()] = row;
    }
    return rows;
}

// The names a run printed (TSV: the first column), sorted.
std::vector<std::string> names(const std::string& out) {
    std::vector<std::string> result;
    for (const std::string& line : clitest::lines(out))
        result.push_back(line.substr(0, line.find('\t')));
    return result;
}

bool near(const QJsonObject& extent, const MaporaExtent& e, double tolerance) {
    return std::abs(extent["west"].toDouble() - e.west) <= tolerance &&
           std::abs(extent["east"].toDouble() - e.east) <= tolerance &&
           std::abs(extent["north"].toDouble() - e.north) <= tolerance &&
           std::abs(extent["south"].toDouble() - e.south) <= tolerance;
}

// Copies of sample files (or folders) into `folder` of `dir`, dated an hour
// ago with the folder, so that the footprint cache keeps what is read.
void copyIn(const TempDir& dir, const std::string& folder, const std::vector<std::string>& files) {
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::create_directories(dir / folder);
    for (const std::string& file : files) {
        const fs::path to = dir / (folder + "/" + fs::path(file).filename().string());
        fs::copy(file, to, fs::copy_options::recursive);
        for (const auto& entry : fs::recursive_directory_iterator(to.parent_path()))
            fs::last_write_time(entry.path(), anHourAgo);
    }
    fs::last_write_time(dir / folder, anHourAgo);
}

} // namespace

TEST(KavrelFindFormats, every_kind_is_found_by_all_types_and_its_pattern_as_gdal_reads_it) {
    TempDir scratch;
    const auto all =
        runKavrelFind(with({"--look-in", kFormats, "--format", "json"}, kWorld), scratch);
    ASSERT_EQ(all.status, 0) << all.err;
    const auto rows = rowsByName(all.out);
    enum Tool { Ogrinfo, Gdalinfo, Header };
    const struct {
        const char* file;
        const char* pattern;
        Tool tool;
        const char* system; // the file's system key
    } cases[] = {
        {"countries.gpkg", "*.GPKG", Header, "LAT-LONG"}, // the union in degrees: below
        {"cities.geojson", "*.GEOJSON", Ogrinfo, "LAT-LONG"},
        {"europe_utm33.fgb", "*.FGB", Ogrinfo, "UTM-33N"},
        {"cities.kml", "*.KML", Ogrinfo, "LAT-LONG"},
        {"south_america.kmz", "*.KMZ", Ogrinfo, "LAT-LONG"},
        {"central_etrs89.gml", "*.GML", Ogrinfo, "UTM-33N"},
        {"cities.sqlite", "*.SQLITE", Ogrinfo, "LAT-LONG"},
        {"world.gdb", "*.GDB", Ogrinfo, "LAT-LONG"},
        {"world.tiff", "*.TIFF", Gdalinfo, "LAT-LONG"},
        {"world.jp2", "*.JP2", Gdalinfo, "LAT-LONG"},
        {"europe_utm33.nc", "*.NC", Gdalinfo, "UTM-33N"},
        {"world.img", "*.IMG", Gdalinfo, "LAT-LONG"},
        {"world.vrt", "*.VRT", Gdalinfo, "LAT-LONG"},
        {"world.asc", "*.ASC", Gdalinfo, "LAT-LONG"},
        {"N45E007.hgt", "*.HGT", Gdalinfo, "LAT-LONG"},
        {"cloud_1_2.las", "*.LAS", Header, "UTM-33N"},
        {"cloud_1_4.las", "*.LAS", Header, "UTM-33N"},
        {"cloud.laz", "*.LAZ", Header, "LAT-LONG"},
        {"drone_photo.jpg", "*.JPG", Header, "LAT-LONG"},
    };
    EXPECT_EQ(rows.size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = kFormats + "/" + c.file;
        ASSERT_EQ(rows.count(c.file), 1u);
        const QJsonObject row = rows.at(c.file);
        EXPECT_EQ(row["keys"].toObject()["system"].toString().toStdString(), c.system);
        const QJsonObject extent = row["extent"].toObject();
        if (c.tool != Header) {
            const auto gdal = c.tool == Ogrinfo ? testsupport::ogrinfoExtent(path)
                                                : testsupport::gdalinfoExtent(path);
            ASSERT_TRUE(gdal);
            EXPECT_TRUE(near(extent, *gdal, 1e-6));
        }
        const auto own = runKavrelFind(
            with({"--look-in", kFormats, "--named", c.pattern, "--format", "json"}, kWorld),
            scratch);
        EXPECT_EQ(rowsByName(own.out).count(c.file), 1u) << own.out;
    }
    // A GeoPackage of a layer in degrees and one in UTM 33N: the union in
    // degrees is the world layer's extent.
    const auto world = testsupport::ogrinfoExtent(kSamples + "/world/countries.shp");
    ASSERT_TRUE(world);
    EXPECT_TRUE(near(rows.at("countries.gpkg")["extent"].toObject(), *world, 1e-6));
    // LAS headers: the bounds the sample generator wrote.
    EXPECT_TRUE(
        near(rows.at("cloud_1_2.las")["extent"].toObject(), {400000, 5501000, 401000, 5500000}, 1));
    EXPECT_TRUE(
        near(rows.at("cloud_1_4.las")["extent"].toObject(), {600000, 5300500, 600500, 5300000}, 1));
}

TEST(KavrelFindFormats, a_container_passes_the_system_test_for_each_of_its_layers_systems) {
    TempDir scratch;
    const struct {
        std::vector<std::string> system;
        bool found;
    } cases[] = {
        {{"--group", "Longitude / Latitude"}, true},
        {{"--group", "Universal Transverse Mercator (UTM)", "--system", "UTM zone 33N"}, true},
        {{"--group", "Universal Transverse Mercator (UTM)", "--system", "UTM zone 32N"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system.back());
        const auto run = runKavrelFind(
            with({"--look-in", kFormats, "--named", "countries.gpkg"}, c.system), scratch);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(names(run.out), c.found ? std::vector<std::string>{"countries.gpkg"}
                                          : std::vector<std::string>{});
    }
}

TEST(KavrelFindFormats, files_whose_content_makes_no_layer_are_left_out_of_all_types) {
    TempDir dir;
    copyIn(dir, "tree",
           {kFormats + "/attributes_only.gpkg", kFormats + "/cities.sqlite",
            kFormats + "/world.img", kSamples + "/misc/notes.sqlite", kSamples + "/misc/disk.img"});
    dir.writeFile("tree/plain_file.gdb", "not a folder");
    fs::create_directories(dir / "tree/empty.gdb");
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> rows;
    } cases[] = {
        {{}, {"cities.sqlite", "world.img"}},
        {kWorld, {"cities.sqlite", "world.img"}},
        {{"--named", "*.*"},
         {"attributes_only.gpkg", "cities.sqlite", "disk.img", "notes.sqlite", "plain_file.gdb",
          "world.img"}},
    };
    for (const auto& c : cases) {
        const auto run =
            runKavrelFind(with({"--look-in", dir / "tree", "--no-cache"}, c.args), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(names(run.out), c.rows) << run.out;
    }
}

TEST(KavrelFindFormats, a_geodatabase_is_one_row_of_its_summed_size_and_nothing_inside_is_listed) {
    TempDir dir;
    copyIn(dir, "tree/data",
           {kFormats + "/world.gdb", kSamples + "/world/cities.shp", kSamples + "/world/cities.shx",
            kSamples + "/world/cities.prj"});
    const std::string gdb = dir / "tree/data/world.gdb";
    std::uintmax_t size = 0;
    for (const auto& entry : fs::directory_iterator(gdb))
        size += entry.file_size();
    // The newest of its files' times is the row's: one file of 7 March 2021,
    // the others a year older.
    const auto utc = [](int year, int month, int day, int hour, int minute) {
        struct tm when {};
        when.tm_year = year - 1900, when.tm_mon = month - 1, when.tm_mday = day,
        when.tm_hour = hour, when.tm_min = minute;
        return timespec{::timegm(&when), 0};
    };
    for (const auto& entry : fs::directory_iterator(gdb)) {
        const timespec when = entry.path().filename() == "a00000002.gdbtable"
                                  ? utc(2021, 3, 7, 9, 5)
                                  : utc(2020, 1, 1, 0, 0);
        const timespec times[2] = {when, when};
        ASSERT_EQ(::utimensat(AT_FDCWD, entry.path().c_str(), times, 0), 0);
    }
    const std::string row = "world.gdb\t" + dir / "tree/data" + "\t" +
                            std::to_string((size + 1023) / 1024) + "KB\tEsri File Geodatabase\t";
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> rows;
    } cases[] = {
        {{}, {"cities.shp", "world.gdb"}},
        {kWorld, {"cities.shp", "world.gdb"}},
        {{"--named", "*.GDB"}, {"world.gdb"}},
        {{"--named", "*.*"}, {"cities.prj", "cities.shp", "cities.shx", "world.gdb"}},
        {{"--named", "*.gdbtable"}, {}},
    };
    for (const auto& c : cases) {
        const auto run =
            runKavrelFind(with({"--look-in", dir / "tree", "--no-cache"}, c.args), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(names(run.out), c.rows) << run.out;
        if (!c.rows.empty() && c.rows.back() == "world.gdb") {
            EXPECT_NE(run.out.find(row), std::string::npos) << run.out;
        }
    }
    const auto print0 =
        runKavrelFind({"--look-in", dir / "tree", "--named", "*.GDB", "--print0"}, dir);
    EXPECT_EQ(print0.out, gdb + std::string(1, '\0'));
    const auto listed =
        runKavrelFind({"--look-in", dir / "tree", "--named", "*.GDB"}, dir, "TZ=UTC");
    EXPECT_NE(listed.out.find("3/7/2021 9:05 AM"), std::string::npos) << listed.out;
}

TEST(KavrelFindFormats, a_photo_is_found_by_an_area_around_its_gps_position) {
    TempDir dir;
    copyIn(dir, "photos", {kFormats + "/drone_photo.jpg", kFormats + "/untagged_photo.jpg"});
    // The same picture as a TIFF, tagged by exiftool, under both its names.
    const std::string tiff = dir / "photos/drone_tiff.tif";
    testsupport::run("gdal_translate -q -of GTiff " +
                     testsupport::quoted(kFormats + "/untagged_photo.jpg") + " " +
                     testsupport::quoted(tiff));
    testsupport::run("exiftool -q -overwrite_original -GPSLatitude=45.8326 -GPSLatitudeRef=N "
                     "-GPSLongitude=6.8652 -GPSLongitudeRef=E " +
                     testsupport::quoted(tiff));
    fs::copy_file(tiff, dir / "photos/drone_tiff.tiff");
    // A tagged photo with a world file beside it is placed by the world file.
    fs::copy_file(kFormats + "/drone_photo.jpg", dir / "photos/placed_photo.jpg");
    dir.writeFile("photos/placed_photo.jgw", "1\n0\n0\n-1\n100\n50\n");
    const struct {
        const char* what;
        std::vector<std::string> area;
        std::vector<std::string> rows;
    } cases[] = {
        {"around the GPS place",
         {"--area", "6.8", "45.9", "6.9", "45.8", "--lat-lon"},
         {"drone_photo.jpg", "drone_tiff.tif", "drone_tiff.tiff"}},
        {"beside it", {"--area", "6.87", "45.9", "6.9", "45.8", "--lat-lon"}, {}},
        {"around the world file's place",
         {"--area", "99", "51", "170", "-20", "--lat-lon"},
         {"placed_photo.jpg"}},
    };
    for (const auto& c : cases) {
        const auto run =
            runKavrelFind(with({"--look-in", dir / "photos", "--no-cache"}, c.area), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(names(run.out), c.rows) << c.what;
    }
}

TEST(KavrelFindFormats, the_cache_answers_containers_until_one_of_their_files_changes) {
    TempDir dir;
    copyIn(dir, "tree", {kFormats + "/countries.gpkg", kFormats + "/world.gdb"});
    const std::string gpkg = dir / "tree/countries.gpkg";
    const std::string gdb = dir / "tree/world.gdb";
    OpenCounter counter({dir / "tree", gdb});
    const auto search = [&] {
        counter.take();
        const auto run =
            runKavrelFind(with({"--look-in", dir / "tree", "--format", "json"}, kWorld), dir);
        EXPECT_EQ(run.status, 0) << run.err;
        return std::pair{rowsByName(run.out), counter.take()};
    };
    const auto opened = [](const std::map<std::string, int>& counts, const std::string& prefix) {
        int n = 0;
        for (const auto& [name, count] : counts)
            n += name.starts_with(prefix) ? count : 0;
        return n;
    };
    const auto first = search();
    ASSERT_EQ(first.first.size(), 2u);
    EXPECT_GT(opened(first.second, "countries.gpkg"), 0);
    EXPECT_GT(opened(first.second, "a0000"), 0);
    const auto repeat = search();
    EXPECT_EQ(repeat.first, first.first);
    EXPECT_EQ(opened(repeat.second, "countries.gpkg"), 0);
    EXPECT_EQ(opened(repeat.second, "a0000"), 0);
    // One file of the geodatabase changes (its time, in place): it is read
    // again; the GeoPackage, unchanged, is not.
    const fs::path table =
        *std::find_if(fs::directory_iterator(gdb), fs::directory_iterator(), [](const auto& e) {
            return e.path().extension() == ".gdbtable" &&
                   e.path().filename() != "a00000001.gdbtable";
        });
    fs::last_write_time(table, fs::last_write_time(table) + std::chrono::seconds(1));
    const auto afterGdb = search();
    EXPECT_GT(opened(afterGdb.second, "a0000"), 0);
    EXPECT_EQ(opened(afterGdb.second, "countries.gpkg"), 0);
    // The GeoPackage rewritten in place with only its UTM layer: read again,
    // its extent now that of Europe.
    TempDir scratch;
    fs::copy_file(gpkg, scratch / "both.gpkg");
    testsupport::run("ogr2ogr -f GPKG " + testsupport::quoted(scratch / "europe.gpkg") + " " +
                     testsupport::quoted(scratch / "both.gpkg") + " europe_utm33");
    {
        std::ofstream out(gpkg, std::ios::binary | std::ios::trunc);
        out << TempDir::readFile(scratch / "europe.gpkg");
    }
    fs::last_write_time(gpkg, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto afterGpkg = search();
    EXPECT_GT(opened(afterGpkg.second, "countries.gpkg"), 0);
    EXPECT_EQ(opened(afterGpkg.second, "a0000"), 0);
    ASSERT_EQ(afterGpkg.first.count("countries.gpkg"), 1u);
    const auto europe = testsupport::ogrinfoExtent(scratch / "europe.gpkg");
    ASSERT_TRUE(europe);
    EXPECT_TRUE(near(afterGpkg.first.at("countries.gpkg")["extent"].toObject(), *europe, 1e-6));
}
