// The Geography and Spatial Objects pages of files written by GDAL (the
// samples, the rgdal files and files made here), opened as a file manager
// does, compared with what GDAL's own tools say of the same files.
#include "gdal_tools.h"
#include "hive_env.h"
#include "page_rows.h"
#include "property_session.h"

#include "quill32/datora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <regex>

using namespace velmorahost;
using testsupport::quoted;
using testsupport::run;

namespace {

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";
const std::string kRgdal = std::string(KAVREL_BUILD_DIR) + "/testdata/rgdal/";

using Values = std::map<std::string, std::string>; // label -> value

// The rows of both pages for one file, Count pressed first when asked.
struct Pages {
    Values geography, objects;
};

class PageTest : public testing::Test {
protected:
    Pages show(const std::string& file, bool count) {
        PropertySession session(VELMORA_LIBRARY);
        EXPECT_TRUE(session.open({file})) << session.error();
        Pages pages;
        if (session.pages().size() != 2)
            return pages;
        const platform::HWND objects = session.pages()[1].dialog;
        if (count)
            pressButton(objects, 1010);
        for (const PageRow& row : pageRows(session.pages()[0].dialog))
            pages.geography[row.label] = row.value;
        for (const PageRow& row : pageRows(objects))
            pages.objects[row.label] = row.value;
        return pages;
    }

    testsupport::HiveEnv hives_{testsupport::databaseHive(KAVREL_DATA_DIR)};
};

double readBack(const std::string& text, bool longitude) {
    double value = NAN;
    EXPECT_EQ(Datora_LLStringToDbl(text.c_str(), &value, longitude, nullptr, 0), 0) << text;
    return value;
}

// A plain number: optional sign, digits, the point, at most 30 significant
// digits, no zero ending the fraction.
bool isPlainNumber(const std::string& text) {
    static const std::regex form(R"(-?[0-9]+\.([0-9]*[1-9])?)");
    std::string digits;
    for (char c : text)
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    return std::regex_match(text, form) && digits.size() <= 30;
}

void expectCorners(const Values& g, const MaporaExtent& want, double tolerance, bool latLong) {
    const struct {
        const char* label;
        double value;
        bool longitude;
    } corners[] = {{"Northwest North:", want.north, false},
                   {"Northwest East:", want.west, true},
                   {"Southeast North:", want.south, false},
                   {"Southeast East:", want.east, true}};
    for (const auto& c : corners) {
        const std::string& text = g.at(c.label);
        if (latLong) {
            EXPECT_NEAR(readBack(text, c.longitude), c.value, tolerance) << c.label << text;
        } else {
            EXPECT_TRUE(isPlainNumber(text)) << c.label << text;
            EXPECT_NEAR(std::stod(text), c.value, tolerance * (1 + std::abs(c.value)))
                << c.label << text;
        }
    }
}

void expectKeys(const Values& g, const char* system, const char* datum, const char* units) {
    EXPECT_EQ(g.at("Coordinate System :"), system);
    EXPECT_EQ(g.at("Datum:"), datum);
    EXPECT_EQ(g.at("Units:"), units);
}

} // namespace

TEST_F(PageTest, lat_lon_corners_are_texts_that_read_back_to_ogrinfos_extent) {
    const char* files[] = {
        "world/countries.shp", "world/cities.mif", "with blank/Capital Cities.SHP",
        "world/countries.tab", // a table without RASTER: described as itself (type 20480)
        "usa/us_cities.shp",
    };
    for (const std::string file : files) {
        SCOPED_TRACE(file);
        const auto want = testsupport::ogrinfoExtent(kSamples + file);
        ASSERT_TRUE(want);
        const Values g = show(kSamples + file, false).geography;
        expectKeys(g, "LAT-LONG", "WGS84", "DEGREES");
        // ogrinfo prints six decimals; the texts hold thousandths of a second.
        expectCorners(g, *want, 1e-6, true);
    }
    const Values g = show(kRgdal + "vectors/ps_cant_31.MIF", false).geography;
    expectCorners(g, *testsupport::ogrinfoExtent(kRgdal + "vectors/ps_cant_31.MIF"), 1e-6, true);
}

TEST_F(PageTest, projected_corners_are_plain_numbers_equal_to_gdals) {
    namespace fs = std::filesystem;
    // No world file beside the GeoTIFF: its descriptor names the .TAB,
    // and the library is still asked.
    for (const char* companion : {".RSF", ".TFW", ".WLD", ".JGW", ".tfw", ".wld"})
        ASSERT_FALSE(fs::exists(kSamples + "rasters/europe_utm33" + companion));
    const struct {
        std::string file;
        bool raster;
        const char *system, *datum, *units;
    } cases[] = {
        {kSamples + "rasters/europe_utm33.tif", true, "UTM-33N", "WGS84", "METERS"},
        {kSamples + "europe/central_etrs89.shp", false, "UTM-33N", "ETRS89", "METERS"},
        {kSamples + "usa/new_york_stateplane.shp", false, "NEW-YORK-LONG-ISLAND-US-SURVEY-FEET",
         "NAD83", "US-FEET"},
        {kRgdal + "pictures/SP27GTIF.TIF", true, "ILLINOIS-EAST", "NAD27", "US-FEET"},
        {kRgdal + "vectors/scot_BNG.shp", false, "BRITISH-NATIONAL-GRID", "OSGB36", "METERS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto want =
            c.raster ? testsupport::gdalinfoExtent(c.file) : testsupport::ogrinfoExtent(c.file);
        ASSERT_TRUE(want);
        const Values g = show(c.file, false).geography;
        expectKeys(g, c.system, c.datum, c.units);
        // gdalinfo's transform is exact; ogrinfo prints six decimals.
        expectCorners(g, *want, c.raster ? 1e-12 : 1e-6, false);
    }
}

TEST_F(PageTest, raster_table_describes_its_image) {
    testsupport::TempDir dir;
    // An image with its world file in a folder below the table that names it.
    std::filesystem::create_directories(dir / "img");
    for (const char* ext : {".jpg", ".jgw"})
        std::filesystem::copy_file(kSamples + "rasters/world_jgw" + ext,
                                   dir / (std::string("img/chart") + ext));
    const std::string own = dir.writeFile(
        "sheet.TAB", "!table\nDefinition Table\n  File \"img\\chart.jpg\"\n  Type \"RASTER\"\n");
    const struct {
        std::string table, image;
        bool latLong;
    } cases[] = {
        {kSamples + "rasters/world_tab.tab", kSamples + "rasters/world_tab.tif", true},
        {own, dir / "img/chart.jpg", false}, // placed by its world file, no system
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const Pages pages = show(c.table, true);
        const auto want = testsupport::gdalinfoExtent(c.image);
        ASSERT_TRUE(want);
        expectCorners(pages.geography, *want, 1e-9, c.latLong);
        EXPECT_EQ(pages.objects.at("Other Objects:"), "1"); // an image, not a table
        EXPECT_EQ(pages.objects.at("Total Objects:"), "1");
    }
}

namespace {

// Objects per kind from ogrinfo's summary: one line per feature naming its
// geometry type; a feature without geometry counts as another object.
std::map<std::string, int> ogrinfoCounts(const std::string& path) {
    const std::string out = run("ogrinfo -ro -al -geom=SUMMARY " + quoted(path));
    std::map<std::string, int> counts{{"Point Objects:", 0},
                                      {"Line Objects:", 0},
                                      {"Polygon Objects:", 0},
                                      {"Other Objects:", 0}};
    static const std::regex feature(R"(OGRFeature\([^)]*\):\d+\n((?:  .*\n)*))");
    static const std::regex geometry(R"((?:^|\n)  ([A-Z][A-Z ]*) :)");
    for (std::sregex_iterator it(out.begin(), out.end(), feature), end; it != end; ++it) {
        const std::string body = (*it)[1];
        std::smatch type;
        const std::string name = std::regex_search(body, type, geometry) ? type[1].str() : "";
        const char* kind = "Other Objects:";
        if (name.find("POLYGON") != std::string::npos || name.find("SURFACE") != std::string::npos)
            kind = "Polygon Objects:";
        else if (name.find("POINT") != std::string::npos)
            kind = "Point Objects:";
        else if (name.find("LINESTRING") != std::string::npos ||
                 name.find("CURVE") != std::string::npos)
            kind = "Line Objects:";
        ++counts[kind];
    }
    return counts;
}

} // namespace

TEST_F(PageTest, counts_equal_ogrinfos_per_geometry_type_after_count_only) {
    testsupport::TempDir dir;
    const std::string csv = dir.writeFile(
        "mixed.csv", "id,WKT\n1,\"POINT (1 2)\"\n2,\"MULTIPOINT ((3 4),(5 6))\"\n"
                     "3,\"LINESTRING (0 0,1 1)\"\n4,\"POLYGON ((0 0,1 0,1 1,0 0))\"\n"
                     "5,\"POLYGON ((2 2,3 2,3 3,2 2))\"\n6,\"GEOMETRYCOLLECTION (POINT (1 1))\"\n");
    const std::string mixed = dir / "mixed.mif";
    run("ogr2ogr -f 'MapInfo File' " + quoted(mixed) + " " + quoted(csv));
    ASSERT_TRUE(std::filesystem::exists(mixed));
    const std::string files[] = {
        mixed,
        kSamples + "world/countries.shp",
        kSamples + "world/cities.mif",
        kRgdal + "vectors/PacoursIKA2.TAB",
        kRgdal + "vectors/kiritimati_primary_roads.shp",
        kRgdal + "vectors/trin_inca_pl03.shp", // one feature without geometry
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        for (const auto& [label, value] : show(file, false).objects)
            EXPECT_EQ(value, "Not counted") << label;
        const Values got = show(file, true).objects;
        int total = 0;
        for (const auto& [label, want] : ogrinfoCounts(file)) {
            EXPECT_EQ(got.at(label), std::to_string(want)) << label;
            total += want;
        }
        EXPECT_GT(total, 0);
        EXPECT_EQ(got.at("Total Objects:"), std::to_string(total));
    }
}

TEST_F(PageTest, damaged_and_foreign_files_show_unknown) {
    testsupport::TempDir dir;
    // A shapefile cut inside its header, and raster tables that name a
    // missing image or a name too long to be one.
    for (const char* ext : {".shp", ".shx", ".dbf"})
        std::filesystem::copy_file(kSamples + "world/cities" + std::string(ext),
                                   dir / (std::string("cut") + ext));
    std::filesystem::resize_file(dir / "cut.shp", 50);
    const std::string missing =
        dir.writeFile("missing.tab", "Definition Table\n File \"gone.tif\"\n Type \"RASTER\"\n");
    const std::string longName =
        dir.writeFile("long.tab", "Definition Table\n File \"" + std::string(300, 'x') +
                                      ".tif\"\n Type RASTER\n");
    const std::string files[] = {
        kSamples + "broken/no_index.shp",
        kSamples + "broken/empty.tab",
        kSamples + "broken/garbage.mif",
        kSamples + "misc/notes.txt",
        kSamples + "misc/blob.bin",
        dir / "cut.shp",
        missing,
        longName,
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        const Pages pages = show(file, true);
        ASSERT_EQ(pages.geography.size(), 7u);
        for (const auto& [label, value] : pages.geography)
            EXPECT_EQ(value, "Unknown") << label;
        const std::string total = pages.objects.at("Total Objects:");
        EXPECT_TRUE(total == "Unknown" || std::isdigit(static_cast<unsigned char>(total[0])));
    }
    // Truncated image data: the header still opens, its place is unknown.
    const Values g = show(kSamples + "broken/truncated.tif", true).geography;
    EXPECT_EQ(g.at("Northwest North:"), "Unknown");
    // A shapefile without features states an inverted box: its system is
    // known, its corners are not.
    testsupport::run("ogr2ogr -where 1=0 " + testsupport::quoted(dir / "none.shp") + " " +
                     testsupport::quoted(kSamples + "world/cities.shp"));
    const Values none = show(dir / "none.shp", false).geography;
    EXPECT_EQ(none.at("Coordinate System :"), "LAT-LONG");
    for (const char* corner :
         {"Northwest North:", "Northwest East:", "Southeast North:", "Southeast East:"})
        EXPECT_EQ(none.at(corner), "Unknown") << corner;
}

TEST_F(PageTest, pages_answer_the_sheet_and_show_the_wait_cursor_while_working) {
    using namespace platform;
    std::vector<HCURSOR> cursors;
    setCursorHook([&](HCURSOR c) { cursors.push_back(c); });
    PropertySession session(VELMORA_LIBRARY);
    ASSERT_TRUE(session.open({kSamples + "world/cities.shp"})) << session.error();
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT), arrow = LoadCursor(nullptr, IDC_ARROW);
    EXPECT_EQ(cursors, (std::vector<HCURSOR>{wait, arrow})); // Geography filled at once
    const HWND objects = session.pages()[1].dialog;
    // Count answers any notification code of its button, and nothing else.
    const DLGPROC procedure = PropertySheetPageDescription(session.pages()[1].page)->pfnDlgProc;
    EXPECT_EQ(procedure(objects, WM_COMMAND, MAKEWPARAM(1005, BN_CLICKED), 0), 0);
    EXPECT_EQ(procedure(objects, WM_COMMAND, MAKEWPARAM(1010, 5), 0), 1);
    EXPECT_EQ(pageRows(objects).front().value, "243");
    EXPECT_EQ(cursors.size(), 4u);
    EXPECT_EQ(cursors.back(), arrow);
    setCursorHook(nullptr);
    for (const SheetPage& page : session.pages()) {
        SetWindowLongPtr(page.dialog, DWLP_MSGRESULT, 9);
        NMHDR header{nullptr, 0, PSN_APPLY};
        const DLGPROC proc = PropertySheetPageDescription(page.page)->pfnDlgProc;
        EXPECT_EQ(proc(page.dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 1);
        EXPECT_EQ(GetWindowLongPtr(page.dialog, DWLP_MSGRESULT), PSNRET_NOERROR);
    }
}

TEST_F(PageTest, count_reads_the_file_of_the_latest_initialize) {
    // Two sheets in one process share the server's current file name.
    PropertySession first(VELMORA_LIBRARY), second(VELMORA_LIBRARY);
    ASSERT_TRUE(first.open({kSamples + "world/countries.shp"}));
    ASSERT_TRUE(second.open({kSamples + "world/cities.shp"}));
    pressButton(first.pages()[1].dialog, 1010);
    EXPECT_EQ(pageRows(first.pages()[1].dialog).front().value, "243"); // the cities' points
}
