// velmora-props run as a program: its printed pages, its exit status and
// reasons; and its Qt dialog driven in this process.
#include "hive_env.h"
#include "properties_dialog.h"
#include "property_session.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

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

std::string hiveWithDatabase(const std::string& folder) {
    return "REGEDIT4\n\n[Software\\Quorvane Geo]\n\"DataBasePath\"=\"" + folder + "\"\n";
}

} // namespace

TEST(velmora_props, prints_each_page_title_then_label_and_value_rows) {
    testsupport::HiveEnv hives(hiveWithDatabase(KAVREL_DATA_DIR));
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
    const struct {
        std::string hive, arguments;
        int status;
        const char* reason; // in standard error
    } cases[] = {
        {hiveWithDatabase(KAVREL_DATA_DIR), cities + " " + cities, 1, "Initialize failed"},
        {"REGEDIT4\n", cities, 1, "CreateInstance failed"},
        {hiveWithDatabase(empty.str()), cities, 1, "CreateInstance failed"},
        {hiveWithDatabase(KAVREL_DATA_DIR), "", 2, "usage:"},
        {hiveWithDatabase(KAVREL_DATA_DIR), "--colour " + cities, 2, "unknown option"},
        {hiveWithDatabase(KAVREL_DATA_DIR), "'" + empty / "none.shp" + "'", 2, "no such file"},
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

TEST(velmora_props_dialog, tabs_show_the_pages_and_count_updates_them) {
    int argc = 1;
    char name[] = "velmora_props_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    testsupport::HiveEnv hives(hiveWithDatabase(KAVREL_DATA_DIR));
    velmorahost::PropertySession session(VELMORA_LIBRARY);
    ASSERT_TRUE(session.open({kSamples + "world/cities.mif"})) << session.error();
    velmorahost::PropertiesDialog dialog(session, "cities.mif");
    EXPECT_EQ(dialog.windowTitle(), "cities.mif Properties");
    ASSERT_EQ(dialog.tabs()->count(), 2);
    EXPECT_EQ(dialog.tabs()->tabText(0), "Geography");
    EXPECT_EQ(dialog.tabs()->tabText(1), "Spatial Objects");
    const auto text = [&](const char* control) {
        const auto* label = dialog.findChild<QLabel*>(control);
        return label ? label->text() : QString("<none>");
    };
    EXPECT_EQ(text("control1002"), "LAT-LONG");
    EXPECT_EQ(text("control1005"), "Not counted");
    auto* count = dialog.findChild<QPushButton*>("control1010");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text(), "Count");
    count->click();
    EXPECT_EQ(text("control1005"), "243");
    EXPECT_EQ(text("control1009"), "243");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // the wait cursor is gone again
}
