// mapora-info prints one "key: value" line per fact and "Unknown" where the
// library cannot tell.
#include <gtest/gtest.h>

#include <string>

#include "../strand32/gis_writer.h"
#include "run_command.h"
#include "temp_dir.h"

using testsupport::TempDir;

namespace {

testsupport::CommandResult runInfo(const std::string& args) {
    return testsupport::runCommand(std::string(KAVREL_BUILD_DIR) + "/bin/mapora-info " + args +
                                   " 2>&1");
}

std::string quoted(const std::string& path) {
    std::string s(1, '\'');
    s.append(path);
    s.push_back('\'');
    return s;
}

std::string head(const std::string& path, int type) {
    std::string s = "file: ";
    s += path;
    s += "\ntype: ";
    s += std::to_string(type);
    s += "\n";
    return s;
}

const char kAllUnknown[] = "extent: Unknown\n"
                           "group: Unknown\nsystem: Unknown\ndatum: Unknown\nunits: Unknown\n"
                           "points: Unknown\nlines: Unknown\npolygons: Unknown\nothers: Unknown\n";

} // namespace

TEST(MaporaInfo, describes_good_and_damaged_files) {
    TempDir dir;
    strand32test::writeVector(dir / "roads.shp", "ESRI Shapefile", 32633,
                              {"LINESTRING (400000 4600000,600000 4700000)",
                               "LINESTRING (450000 4650000,460000 4660000)"});
    dir.writeFile("junk.tab", "this is no table");
    const auto r = runInfo(quoted(dir / "roads.shp") + " " + quoted(dir / "junk.tab") + " " +
                           quoted(dir / "notes.txt"));
    ASSERT_EQ(r.status, 0) << r.out;
    std::string expected = head(dir / "roads.shp", 16);
    expected += "extent: 400000 4700000 600000 4600000\n"
                "group: UTM\nsystem: UTM-33N\ndatum: WGS84\nunits: METERS\n"
                "points: 0\nlines: 2\npolygons: 0\nothers: 0\n\n";
    expected += head(dir / "junk.tab", 20480);
    expected += kAllUnknown;
    expected += "\n";
    expected += head(dir / "notes.txt", 0);
    expected += kAllUnknown;
    EXPECT_EQ(r.out, expected);
}

TEST(MaporaInfo, extent_only_and_usage) {
    TempDir dir;
    strand32test::writeRaster(dir / "scan.tif", "GTiff", 10, 10, {5, 0.5, 0, 60, 0, -0.5}, 4326);
    const auto r = runInfo("--extent " + quoted(dir / "scan.tif"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, head(dir / "scan.tif", 2) + "extent: 5 60 10 55\n");
    EXPECT_EQ(runInfo("").status, 2);
    EXPECT_EQ(runInfo("--extent").status, 2);
}
