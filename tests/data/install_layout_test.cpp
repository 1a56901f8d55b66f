// The MIME types, registry hives and desktop entry of the build tree, and the
// same files as `cmake --install` writes them for another prefix.
#include "hive_env.h"
#include "platform/registry.h"
#include "temp_dir.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using testsupport::ScopedEnv;
using testsupport::TempDir;

const std::string kBuild = KAVREL_BUILD_DIR;

// QMimeDatabase reads XDG_DATA_DIRS once, at its first use in the process.
const QMimeDatabase& mimeDatabase() {
    static const bool pointed = [] {
        ::setenv("XDG_DATA_DIRS", (kBuild + "/share:/usr/local/share:/usr/share").c_str(), 1);
        return true;
    }();
    (void)pointed;
    static const QMimeDatabase db;
    return db;
}

struct TypeCase {
    std::string file; // a bare name is judged by its name, a path by name and content
    const char* type;
    const char* comment;
};

TEST(mime_types, known_formats_carry_our_names) {
    const std::string samples = std::string(KAVREL_DATA_DIR) + "/samples/";
    const TypeCase cases[] = {
        {"roads.shp", "application/x-esri-shape", "ESRI Shapefile"},
        {"ROADS.SHP", "application/x-esri-shape", "ESRI Shapefile"},
        {"parcels.tab", "text/x-mapinfo-tab", "MapInfo Table"},
        {"Rivers 1999.WQS", "application/x-atlion-find-search", "Atlion Find saved search"},
        // Extensions other formats share: decided by the content.
        {samples + "world/cities.mif", "text/x-mapinfo-mif", "MapInfo Interchange File"},
        {samples + "world/cities.mid", "text/x-mapinfo-mid", "MapInfo Interchange data"},
        {samples + "rasters/adrg/ATLANT01.GEN", "image/x-adrg-gen", "ADRG general information"},
        {samples + "rasters/adrg/ATLANT01.IMG", "image/x-adrg", "ADRG image"},
        {samples + "rasters/adrg/TRANSH01.THF", "application/x-adrg-thf",
         "ADRG transmittal header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const bool byContent = c.file.find('/') != std::string::npos;
        ASSERT_TRUE(!byContent || fs::is_regular_file(c.file));
        const QMimeType t = byContent
                                ? mimeDatabase().mimeTypeForFile(QString::fromStdString(c.file))
                                : mimeDatabase().mimeTypeForFile(QString::fromStdString(c.file),
                                                                 QMimeDatabase::MatchExtension);
        EXPECT_EQ(t.name().toStdString(), c.type);
        EXPECT_EQ(t.comment().toStdString(), c.comment);
    }
    EXPECT_EQ(mimeDatabase().mimeTypeForName("application/x-atlion-find-search").iconName(),
              "edit-find");
}

// Files of other kinds that share an extension with ours keep their own type.
TEST(mime_types, shared_extensions_are_not_taken_from_other_formats) {
    TempDir dir;
    const struct {
        const char* name;
        std::string content;
        const char* type;
    } cases[] = {
        {"song.mid", std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14), "audio/midi"},
        {"disk.img", std::string(2048, '\0'), "application/x-raw-disk-image"},
        {"manual.mif", "<MIFFile 7.00>\n<Units Upt>\n", "application/x-mif"},
        {"console.gen", std::string(256, ' ') + "SEGA GENESIS    ", "application/x-genesis-rom"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.writeFile(c.name, c.content);
        EXPECT_EQ(mimeDatabase().mimeTypeForFile(QString::fromStdString(path)).name().toStdString(),
                  c.type);
    }
}

struct HiveCase {
    const char* key;
    const char* name;
    std::string text;
};

// Reads a text value through the registry the programs use.
std::string readText(platform::Hive hive, const char* key, const char* name) {
    platform::RegistryKey k;
    if (k.open(hive, key, platform::RegAccess::Query) != platform::ERROR_SUCCESS)
        return "<no key>";
    char buf[1024] = {};
    std::uint32_t type = 0, size = sizeof buf;
    if (k.queryValue(name, &type, buf, &size) != platform::ERROR_SUCCESS ||
        type != platform::REG_SZ)
        return "<no text>";
    return buf;
}

void expectSystemHive(const std::string& hivePath, const std::string& prefix) {
    ScopedEnv hive("KAVREL_SYSTEM_HIVE", hivePath);
    const HiveCase cases[] = {
        {"Software\\Quorvane Geo", "DataBasePath", prefix + "/share/kavrel"},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kavrel", "", prefix + "/bin"},
        {"Software\\Quorvane Geo\\Morvane Find", "SupportedFormats", "<no text>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(readText(platform::Hive::LocalMachine, c.key, c.name), c.text);
    }
}

TEST(hives, build_tree_hive_names_the_build_folders) {
    expectSystemHive(kBuild + "/etc/kavrel/system.reg", kBuild);
}

TEST(hives, new_user_profile_starts_with_options_zero) {
    TempDir dir;
    const std::string user = dir / "user.reg";
    fs::copy_file(std::string(KAVREL_DATA_DIR) + "/default-user.reg", user);
    ScopedEnv hive("KAVREL_USER_HIVE", user);
    platform::RegistryKey key;
    ASSERT_EQ(key.open(platform::Hive::CurrentUser, "Software\\Quorvane Geo\\Morvane Find",
                       platform::RegAccess::Query),
              platform::ERROR_SUCCESS);
    std::uint32_t options = 0xffffffff, type = 0, size = sizeof options;
    ASSERT_EQ(key.queryValue("Options", &type, &options, &size), platform::ERROR_SUCCESS);
    EXPECT_EQ(type, platform::REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(options, 0u);
}

// Installing to a prefix other than the configured one: the hive and the
// desktop entry name that prefix, whole, and the installed MIME database is
// compiled. A relative prefix is the folder the install ran in followed by
// it, so the installed programs find their data when started from anywhere.
TEST(install, files_name_the_prefix_installed_to) {
    TempDir dir;
    struct Case {
        const char* what;
        std::string given;    // as passed to --prefix, from `dir`
        std::string prefix;   // the folder it names
        std::string execPath; // the Exec key's program
        bool whole;           // every component, then a program run from elsewhere
    } cases[] = {
        {"a blank and a quote", dir / "pre \"fix", dir / "pre \"fix",
         dir.str() + "/pre \\\\\"fix/bin/kavrel", false},
        {"a relative prefix", "rel/inst", dir / "rel/inst", dir / "rel/inst/bin/kavrel", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QProcess install;
        install.setWorkingDirectory(QString::fromStdString(dir.str()));
        QStringList args = {"--install", QString::fromStdString(kBuild), "--prefix",
                            QString::fromStdString(c.given)};
        if (!c.whole)
            args << "--component"
                 << "data";
        install.start(QStringLiteral(KAVREL_CMAKE_COMMAND), args);
        ASSERT_TRUE(install.waitForFinished(300000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

        expectSystemHive(c.prefix + "/etc/kavrel/system.reg", c.prefix);
        for (const char* file : {"share/kavrel/world.tab", "share/kavrel/default-user.reg",
                                 "share/kavrel/samples/world/countries.shp",
                                 "share/kavrel/samples/with blank/Capital Cities.SHP",
                                 "share/mime/packages/kavrel.xml", "share/mime/mime.cache"}) {
            EXPECT_TRUE(fs::is_regular_file(c.prefix + "/" + file)) << file;
        }
        const std::string desktop =
            TempDir::readFile(c.prefix + "/share/applications/kavrel.desktop");
        EXPECT_NE(desktop.find("Exec=\"" + c.execPath + "\" %f\n"), std::string::npos) << desktop;
        EXPECT_NE(desktop.find("MimeType=application/x-atlion-find-search;"), std::string::npos);
        if (!c.whole)
            continue;
        QProcess find;
        find.setWorkingDirectory("/");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("KAVREL_SYSTEM_HIVE");
        find.setProcessEnvironment(env);
        find.start(QString::fromStdString(c.prefix + "/bin/kavrel-find"), {"--list-groups"});
        ASSERT_TRUE(find.waitForFinished(60000));
        EXPECT_EQ(find.exitCode(), 0) << find.readAllStandardError().toStdString();
        EXPECT_TRUE(find.readAllStandardOutput().startsWith("( Any )\n"));
    }
}

} // namespace
