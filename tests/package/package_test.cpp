// The Debian package: what it holds, its control fields, and the programs
// run from the package unpacked into a temporary root, compared with the same
// programs of the build tree on the same samples.
#include "gdal_tools.h"
#include "hive_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::run;
using testsupport::TempDir;

const std::string kBuild = KAVREL_BUILD_DIR;
const std::string kUtm = "Universal Transverse Mercator (UTM)";

// The package named by $KAVREL_PACKAGE, else the one scripts/package.sh
// made in its default folder; empty when there is none.
std::string packageFile() {
    if (const char* named = std::getenv("KAVREL_PACKAGE"); named && *named)
        return named;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(KAVREL_PACKAGE_DIR, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(KAVREL_PACKAGE_NAME "_", 0) == 0 && entry.path().extension() == ".deb")
            return entry.path().string();
    }
    return {};
}

class DebianPackage : public ::testing::Test {
protected:
    void SetUp() override {
        deb = packageFile();
        if (deb.empty())
            GTEST_SKIP() << "no package in " KAVREL_PACKAGE_DIR ": run scripts/package.sh";
    }
    std::string deb;
};

TEST_F(DebianPackage, holds_what_the_install_rules_install_under_usr_and_etc) {
    const std::string listing = run("dpkg-deb -c " + testsupport::quoted(deb));
    for (const char* path : {"./usr/bin/kavrel",
                             "./usr/bin/kavrel-find",
                             "./usr/bin/kavrel-watch",
                             "./usr/lib/systemd/user/kavrel-watch.service",
                             "./usr/share/man/man1/kavrel-watch.1.gz",
                             "./usr/bin/mapora-info",
                             "./usr/bin/velmora-props",
                             "./usr/bin/imdlhost",
                             "./usr/lib/atlion-find/libstrand32.so",
                             "./usr/lib/atlion-find/libquill32.so",
                             "./usr/lib/atlion-find/libvelmora.so",
                             "./usr/lib/atlion-find/librastrel.so",
                             "./usr/share/kavrel/datora.dat",
                             "./usr/share/kavrel/world.tab",
                             "./usr/share/kavrel/kestra.html",
                             "./usr/share/kavrel/default-user.reg",
                             "./usr/share/kavrel/samples/world/countries.shp",
                             "./usr/share/kavrel/samples/with blank/Capital Cities.SHP",
                             "./usr/share/mime/packages/kavrel.xml",
                             "./usr/share/applications/kavrel.desktop",
                             "./usr/share/icons/hicolor/16x16/apps/kavrel.png",
                             "./usr/share/icons/hicolor/48x48/apps/kavrel.png",
                             "./usr/share/icons/hicolor/256x256/apps/kavrel.png",
                             "./usr/lib/x86_64-linux-gnu/nautilus/extensions-4/"
                             "libvelmora-nautilus.so",
                             "./usr/share/kio/servicemenus/atlion-gis-properties.desktop",
                             "./usr/share/doc/atlion-find/copyright",
                             "./usr/share/doc/atlion-find/changelog.gz",
                             "./etc/kavrel/system.reg"}) {
        const std::size_t at = listing.find(path);
        const char after = at == std::string::npos ? '?' : listing[at + std::strlen(path)];
        EXPECT_TRUE(after == '\n' || after == ' ') << path; // a file, or a link " -> "
    }
    // The system's triggers compile the MIME and desktop databases; no
    // library of ours lies among the system's own.
    for (const char* path :
         {"./usr/share/mime/mime.cache", "mimeinfo.cache", "/build", "./usr/lib/lib"})
        EXPECT_EQ(listing.find(path), std::string::npos) << path;
}

TEST_F(DebianPackage, control_names_the_libraries_it_needs_and_its_configuration) {
    const std::string depends = run("dpkg-deb -f " + testsupport::quoted(deb) + " Depends");
    for (const char* package : {"libgdal32", "libproj25", "libqt6widgets6", "qt6-qpa-plugins"})
        EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;
    EXPECT_EQ(run("dpkg-deb -I " + testsupport::quoted(deb) + " conffiles"),
              "/etc/kavrel/system.reg\n");

    TempDir root;
    ASSERT_EQ(run("dpkg-deb -x " + testsupport::quoted(deb) + " " +
                  testsupport::quoted(root.str()) + " && echo ok"),
              "ok\n");
    const std::string hive = TempDir::readFile(root / "etc/kavrel/system.reg");
    EXPECT_NE(hive.find("\"DataBasePath\"=\"/usr/share/kavrel\""), std::string::npos) << hive;
    EXPECT_NE(hive.find("@=\"/usr/bin\""), std::string::npos) << hive;
    const std::string desktop = TempDir::readFile(root / "usr/share/applications/kavrel.desktop");
    EXPECT_NE(desktop.find("\nIcon=kavrel\n"), std::string::npos) << desktop;
    EXPECT_NE(desktop.find("/usr/bin/kavrel"), std::string::npos) << desktop;
    const std::string unit = TempDir::readFile(root / "usr/lib/systemd/user/kavrel-watch.service");
    EXPECT_NE(unit.find("\nExecStart=/usr/bin/kavrel-watch\n"), std::string::npos) << unit;
}

// Programs run from the unpacked package find their libraries through their
// run path, their data beside them, and print what the build tree's print.
TEST_F(DebianPackage, programs_run_from_the_unpacked_tree_as_from_the_build_tree) {
    TempDir root;
    ASSERT_EQ(run("dpkg-deb -x " + testsupport::quoted(deb) + " " +
                  testsupport::quoted(root.str()) + " && echo ok"),
              "ok\n");
    const std::string usr = root / "usr";
    // As the system's trigger does on installation: the package's MIME types compiled.
    run("update-mime-database " + testsupport::quoted(usr + "/share/mime"));
    const std::string ldd = run("ldd " + testsupport::quoted(usr + "/bin/kavrel-find"));
    EXPECT_NE(ldd.find("libplatform.so => " + usr + "/bin/../lib/atlion-find/libplatform.so"),
              std::string::npos)
        << ldd;

    struct Case {
        const char* program;
        std::vector<std::string> args; // "@" stands for the package's samples folder
    } cases[] = {
        {"kavrel-find", {"--look-in", "@", "--sort", "name"}},
        {"kavrel-find", {"--look-in", "@", "--group", kUtm, "--format", "json"}},
        {"mapora-info", {"@/europe/europe_utm33.shp", "@/rasters/world_tab.tab"}},
        {"velmora-props", {"--count", "@/usa/new_york_stateplane.shp"}},
    };
    // Both trees read a hive naming their own data folder, as installed, and
    // look at the same files.
    const std::string samples = usr + "/share/kavrel/samples";
    const auto runIn = [&](const std::string& prefix, const Case& c) {
        const TempDir hives;
        hives.writeFile("system.reg", testsupport::databaseHive(prefix + "/share/kavrel"));
        std::string command =
            "env -u KAVREL_PREFIX KAVREL_SYSTEM_HIVE=" + testsupport::quoted(hives / "system.reg") +
            " KAVREL_USER_HIVE=" + testsupport::quoted(hives / "user.reg") + " " +
            testsupport::quoted(prefix + "/bin/" + c.program);
        for (std::string arg : c.args) {
            if (arg.rfind("@", 0) == 0)
                arg = samples + arg.substr(1);
            command += ' ';
            command += testsupport::quoted(arg);
        }
        return run(command);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + (" " + c.args.back()));
        const std::string packaged = runIn(usr, c);
        EXPECT_GT(packaged.size(), 100u) << packaged;
        EXPECT_EQ(packaged, runIn(kBuild, c));
    }
}

} // namespace
