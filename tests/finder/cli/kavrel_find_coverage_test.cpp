// kavrel-find --coverage and --gaps: the share printed after the count and
// the uncovered parts read back with GDAL, both checked against geodesic
// surfaces (PROJ's GeographicLib) of the boxes the files outline; and the
// uses that cannot give a coverage.
#include "box_shapefile.h"
#include "geodesic_area.h"
#include "run_kavrel_find.h"
#include "temp_dir.h"

#include <gdal.h>
#include <ogr_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

using testsupport::runKavrelFind;
using testsupport::TempDir;

using Box = testsupport::LonLatBox;

using Ring = testsupport::LonLatPoints;
using testsupport::geodesicArea;

Ring ringOf(OGRGeometryH ring) {
    Ring points;
    for (int i = 0; i < OGR_G_GetPointCount(ring); ++i)
        points.push_back({OGR_G_GetX(ring, i), OGR_G_GetY(ring, i)});
    return points;
}

struct Gaps {
    int polygons = -1; // -1: the file cannot be read
    double squareMetres = 0;
};

// The polygons of a written file, and their geodesic surface (holes taken off).
Gaps readGaps(const std::string& path) {
    GDALAllRegister();
    Gaps gaps;
    std::unique_ptr<void, decltype(&GDALClose)> ds(
        GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr), GDALClose);
    OGRLayerH layer = ds ? GDALDatasetGetLayer(ds.get(), 0) : nullptr;
    if (layer == nullptr)
        return gaps;
    gaps.polygons = 0;
    while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
        OGRGeometryH polygon = OGR_F_GetGeometryRef(feature);
        if (polygon != nullptr && wkbFlatten(OGR_G_GetGeometryType(polygon)) == wkbPolygon) {
            ++gaps.polygons;
            for (int r = 0; r < OGR_G_GetGeometryCount(polygon); ++r)
                gaps.squareMetres +=
                    (r == 0 ? 1 : -1) * geodesicArea(ringOf(OGR_G_GetGeometryRef(polygon, r)));
        }
        OGR_F_Destroy(feature);
    }
    return gaps;
}

// The percent of "Area covered: N%" on the line after the count; -1 without.
int printedPercent(const std::string& err) {
    std::smatch m;
    if (!std::regex_search(err, m, std::regex(R"(file\(s\) found\nArea covered: (\d+)%\n)")))
        return -1;
    return std::stoi(m[1]);
}

std::vector<std::string> areaArgs(const Box& b) {
    const auto text = [](double v) { return std::to_string(v); };
    return {"--area", text(b.west), text(b.north), text(b.east), text(b.south), "--lat-lon"};
}

class KavrelFindCoverage : public ::testing::Test {
protected:
    void SetUp() override {
        // Two overlapping boxes in south-east Europe.
        dir.makeFolder("tree");
        ASSERT_TRUE(testsupport::writeBoxShapefile(dir / "tree", "a", kA));
        ASSERT_TRUE(testsupport::writeBoxShapefile(dir / "tree", "b", kB));
    }
    static constexpr Box kA{20, 40, 30, 50};
    static constexpr Box kB{25, 42, 35, 48};
    TempDir dir;
};

TEST_F(KavrelFindCoverage, share_and_gaps_agree_with_geodesic_surfaces) {
    const double unionArea =
        geodesicArea(kA) + geodesicArea(kB) - geodesicArea(Box{25, 42, 30, 48});
    struct Case {
        const char* what;
        const char* mode;
        Box area;
        double covered; // square metres of the area covered
        int gaps;       // polygons
        const char* file;
    } cases[] = {
        {"wholly covered by a file across it",
         "--intersection",
         {21, 41, 29, 49},
         geodesicArea(Box{21, 41, 29, 49}),
         0,
         "full.geojson"},
        {"partly covered by two overlapping files inside it",
         "--inclusive",
         {20, 40, 40, 50},
         unionArea,
         1,
         "half.gpkg"},
        {"not covered", "--inclusive", {-40, 0, -30, 10}, 0, 1, "none.shp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--look-in", dir / "tree", "--named", "*.shp",
                                         c.mode,      "--coverage", "--gaps",  dir / c.file};
        const auto area = areaArgs(c.area);
        args.insert(args.end(), area.begin(), area.end());
        const auto run = runKavrelFind(args, dir);
        ASSERT_EQ(run.status, 0) << run.err;
        const double whole = geodesicArea(c.area);
        EXPECT_NEAR(printedPercent(run.err), c.covered / whole * 100, 1.0) << run.err;
        EXPECT_NE(run.err.find(std::to_string(c.gaps) +
                               " uncovered part(s) of the area written to " + dir / c.file),
                  std::string::npos)
            << run.err;
        const Gaps gaps = readGaps(dir / c.file);
        EXPECT_EQ(gaps.polygons, c.gaps);
        EXPECT_NEAR(gaps.squareMetres, whole - c.covered, whole * 1e-3);
    }
}

TEST_F(KavrelFindCoverage, a_coverage_needs_an_area_in_degrees_and_a_gaps_file_a_format) {
    const std::vector<std::string> area = areaArgs({20, 40, 40, 50});
    const auto with = [&](std::vector<std::string> args, bool withArea) {
        args.insert(args.begin(), {"--look-in", dir / "tree"});
        if (withArea)
            args.insert(args.end(), area.begin(), area.end());
        return args;
    };
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {"no area", with({"--coverage"}, false), 2, "--coverage needs --area"},
        {"gaps without an area", with({"--gaps", dir / "g.gpkg"}, false), 2, "--gaps needs --area"},
        {"an area in a system's units",
         with({"--coverage", "--area", "500000", "6000000", "600000", "5000000"}, false), 2,
         "--coverage needs an area in latitudes and longitudes"},
        {"a gaps file of no format", with({"--gaps", dir / "g.xyz"}, true), 2,
         "No GDAL vector format writes files named g.xyz"},
        {"stored rows",
         {"--saved-results", dir / "x.wqs", "--coverage"},
         2,
         "--saved-results prints a file's rows"},
        {"a gaps file that cannot be written", with({"--gaps", dir / "no/such/g.gpkg"}, true), 1,
         "kavrel-find: Cannot write " + dir / "no/such/g.gpkg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto run = runKavrelFind(c.args, dir);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

} // namespace
