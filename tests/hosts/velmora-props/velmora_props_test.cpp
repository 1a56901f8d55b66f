// velmora-props run as a program: its printed pages, its exit status and
// the reasons it gives.
#include "hive_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace {

using testsupport::TempDir;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples/";

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

ProgramRun velmoraProps(const std::string& arguments) {
    TempDir dir;
    const std::string out = dir / "out", err = dir / "err";
    const int status = std::system(
        (std::string(VELMORA_PROPS) + " " + arguments + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::readFile(out),
            TempDir::readFile(err)};
}

} // namespace

TEST(velmora_props, prints_each_page_title_then_label_and_value_rows) {
    testsupport::HiveEnv hives(testsupport::databaseHive(KAVREL_DATA_DIR));
    const ProgramRun run = velmoraProps("--count '" + kSamples + "world/countries.shp'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Geography\n"
                       "Coordinate System : LAT-LONG\n"
                       "Datum: WGS84\n"
                       "Units: DEGREES\n"
                       "Northwest North: 83\xC2\xB0"
                       "38'42.468\"N\n"
                       "Northwest East: 180\xC2\xB0"
                       "00'00.000\"W\n"
                       "Southeast North: 90\xC2\xB0"
                       "00'00.000\"S\n"
                       "Southeast East: 180\xC2\xB0"
                       "00'00.000\"E\n"
                       "Spatial Objects\n"
                       "Point Objects: 0\n"
                       "Line Objects: 0\n"
                       "Polygon Objects: 177\n"
                       "Other Objects: 0\n"
                       "Total Objects: 177\n");
    EXPECT_EQ(run.err, "");
    // Without --count the counts wait for the button.
    const ProgramRun plain = velmoraProps("'" + kSamples + "world/countries.shp'");
    EXPECT_NE(plain.out.find("Total Objects: Not counted\n"), std::string::npos);
}

TEST(velmora_props, exit_status_and_reason) {
    TempDir empty;
    const std::string cities = "'" + kSamples + "world/cities.shp'";
    const std::string missing = std::string("'").append(empty / "none.shp").append("'");
    const std::string database = testsupport::databaseHive(KAVREL_DATA_DIR);
    const struct {
        std::string hive, arguments;
        int status;
        const char* reason; // in standard error
    } cases[] = {
        {database, cities + " " + cities, 1, "Initialize failed"},
        {"REGEDIT4\n", cities, 1, "CreateInstance failed"},
        {testsupport::databaseHive(empty.str()), cities, 1, "CreateInstance failed"},
        {database, "", 2, "usage:"},
        {database, "--colour " + cities, 2, "unknown option"},
        {database, missing, 2, "no such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        testsupport::HiveEnv hives(c.hive);
        const ProgramRun run = velmoraProps(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}
