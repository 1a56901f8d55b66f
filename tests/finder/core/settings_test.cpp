#include "finder/program_startup.h"
#include "finder/settings_registry.h"
#include "finder/startup_settings.h"

#include "hive_env.h"

#include <gtest/gtest.h>

namespace {

using namespace finder;
using testsupport::HiveEnv;

constexpr std::uint32_t kSuccess = CSettingsRegistry::Success;

const char* const kMachineHive = R"(REGEDIT4

[Software\Quorvane Geo]
"DataBasePath"="/opt/geo/db"

[Software\Quorvane Geo\Morvane Find]
"SupportedFormats"="*.SHP,*.TIF"

[Software\Microsoft\Windows\CurrentVersion\App Paths\kavrel]
@="/opt/kavrel/bin"
)";

const char* const kUserHive = R"(REGEDIT4

[Software\Quorvane Geo\Morvane Find]
"Options"=dword:00000002
)";

std::string machineHiveWith(const std::string& values) {
    return "REGEDIT4\n\n[Software\\Quorvane Geo\\Morvane Find]\n" + values + "\n";
}

TEST(CSettingsRegistry, reads_every_start_up_value) {
    HiveEnv env(kMachineHive, kUserHive);
    CSettingsRegistry registry;
    std::string text;
    EXPECT_EQ(registry.GetDataBasePath(text, 260), kSuccess);
    EXPECT_EQ(text, "/opt/geo/db");
    EXPECT_EQ(registry.GetAppPath("kavrel", text, 1024), kSuccess);
    EXPECT_EQ(text, "/opt/kavrel/bin");
    EXPECT_EQ(registry.GetSupportedFormats(kProductSubkey, text), kSuccess);
    EXPECT_EQ(text, "*.SHP,*.TIF");
    std::uint32_t options = 0;
    EXPECT_EQ(registry.GetOptions(kProductSubkey, options), kSuccess);
    EXPECT_EQ(options, 2u);
    EXPECT_TRUE(registry.hasOpenKey());
    registry.Close();
    EXPECT_FALSE(registry.hasOpenKey());
}

TEST(CSettingsRegistry, failures_leave_the_output_untouched) {
    HiveEnv env(std::string("REGEDIT4\n"), std::string("REGEDIT4\n"));
    CSettingsRegistry registry;
    std::string text = "kept";
    std::uint32_t options = 77;
    EXPECT_EQ(registry.GetDataBasePath(text, 260), 2u);
    EXPECT_EQ(registry.GetAppPath("tollan", text, 1024), 2u);
    EXPECT_EQ(registry.GetSupportedFormats(kProductSubkey, text), 2u);
    EXPECT_EQ(registry.GetOptions(kProductSubkey, options), 2u);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(options, 77u);
    // Keys are never created: writing Options needs the product key.
    EXPECT_EQ(registry.SetOptions(kProductSubkey, 2), 2u);
    EXPECT_EQ(env.userText().find("Options"), std::string::npos);
}

TEST(CSettingsRegistry, text_must_fit_the_callers_buffer_and_not_be_empty) {
    HiveEnv env(std::string(R"(REGEDIT4

[Software\Quorvane Geo]
"DataBasePath"=""

[Software\Microsoft\Windows\CurrentVersion\App Paths\kavrel]
@="/opt/kavrel"
)"));
    CSettingsRegistry registry;
    std::string text = "kept";
    EXPECT_NE(registry.GetDataBasePath(text, 260), kSuccess);
    EXPECT_EQ(registry.GetAppPath("kavrel", text, 11), 234u); // 11 characters need 12
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(registry.GetAppPath("kavrel", text, 12), kSuccess);
    EXPECT_EQ(text, "/opt/kavrel");
}

TEST(CSettingsRegistry, supported_formats_must_fit_260_bytes) {
    const std::string fits(259, 'x');
    HiveEnv ok(machineHiveWith("\"SupportedFormats\"=\"" + fits + "\""));
    CSettingsRegistry registry;
    std::string text;
    EXPECT_EQ(registry.GetSupportedFormats(kProductSubkey, text), kSuccess);
    EXPECT_EQ(text.size(), 259u);

    HiveEnv tooLong(machineHiveWith("\"SupportedFormats\"=\"" + fits + "y\""));
    EXPECT_EQ(registry.GetSupportedFormats(kProductSubkey, text), 234u);
}

TEST(CSettingsRegistry, options_must_be_a_four_byte_dword) {
    for (const char* value :
         {"\"Options\"=\"2\"", "\"Options\"=hex:02,00", "\"Options\"=hex:02,00,00,00,00"}) {
        HiveEnv env(std::string("REGEDIT4\n"),
                    "REGEDIT4\n\n[Software\\Quorvane Geo\\Morvane Find]\n" + std::string(value) +
                        "\n");
        CSettingsRegistry registry;
        std::uint32_t options = 5;
        EXPECT_NE(registry.GetOptions(kProductSubkey, options), kSuccess) << value;
        EXPECT_EQ(options, 5u);
    }
}

TEST(CSettingsRegistry, set_options_writes_a_dword_read_back_by_the_next_start) {
    HiveEnv env(kMachineHive, kUserHive);
    {
        CSettingsRegistry registry;
        EXPECT_EQ(registry.SetOptions(kProductSubkey, 0), kSuccess);
    }
    EXPECT_NE(env.userText().find("\"Options\"=dword:00000000"), std::string::npos);
    CSettingsRegistry registry;
    std::uint32_t options = 9;
    EXPECT_EQ(registry.GetOptions(kProductSubkey, options), kSuccess);
    EXPECT_EQ(options, 0u);
}

// Shut-down writes say why they failed; a missing product key keeps them
// silently, as the window has always done.
TEST(ShutDownSettings, a_write_that_fails_says_why_and_leaves_the_hive_as_it_was) {
    // The product key reads, but a line that is no value makes the hive one
    // that is never written over.
    const std::string unparsable = std::string(kUserHive) + "this is no value\n";
    struct Case {
        const char* what;
        std::string userHive;
        std::string problem; // a part of it; empty: none
    } cases[] = {
        {"written", kUserHive, ""},
        {"no product key", "REGEDIT4\n", ""},
        {"a hive that cannot be parsed", unparsable, "\"Options\" could not be saved in "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HiveEnv env(kMachineHive, c.userHive);
        const std::string problem = saveOptions(5);
        if (c.problem.empty()) {
            EXPECT_EQ(problem, "");
            continue;
        }
        EXPECT_NE(problem.find(c.problem + env.userPath() + ": "), std::string::npos) << problem;
        EXPECT_EQ(env.userText(), c.userHive);
        EXPECT_NE(saveFootprintCacheSetting(false).find("\"UseFootprintCache\""),
                  std::string::npos);
    }
    EXPECT_EQ(settingWriteProblem("Options", platform::ERROR_ACCESS_DENIED)
                  .rfind("The setting \"Options\" could not be saved in ", 0),
              0u);
}

TEST(StartupSettings, named_list_from_supported_formats) {
    // The eleven patterns of the layer table first and in order, then one per
    // kind beyond it.
    const std::vector<std::string> builtIn = {
        "( All types )", "*.ZVL", "*.DGN",    "*.DXF", "*.DWG",  "*.MIF",     "*.TAB", "*.SHP",
        "*.TIF",         "*.BMP", "*.JPG",    "*.KPG", "*.GPKG", "*.GEOJSON", "*.FGB", "*.KML",
        "*.KMZ",         "*.GML", "*.SQLITE", "*.GDB", "*.TIFF", "*.JP2",     "*.NC",  "*.IMG",
        "*.VRT",         "*.ASC", "*.HGT",    "*.LAS", "*.LAZ",  ""};
    struct Case {
        bool read;
        const char* text;
        std::vector<std::string> expected;
    } cases[] = {
        {false, "", builtIn},
        {true, "", builtIn},
        {false, "*.SHP", builtIn},
        {true, "*.SHP,*.TIF", {"( All types )", "*.SHP", "*.TIF", ""}},
        {true, "*.SHP,*.TIF,", {"( All types )", "*.SHP", "*.TIF", ""}},
        {true, "*.SHP,,*.TIF", {"( All types )", "*.SHP", "", "*.TIF", ""}},
        {true, ",", {"( All types )", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(namedListEntries(c.read, c.text), c.expected) << c.read << " " << c.text;
    EXPECT_EQ(builtIn.size(), 30u);
}

TEST(StartupSettings, database_file_and_saved_search_path) {
    EXPECT_EQ(databaseFileFrom(""), "/datora.dat");
    EXPECT_EQ(databaseFileFrom("/opt/geo"), "/opt/geo/datora.dat");
    EXPECT_EQ(databaseFileFrom("/opt/geo/"), "/opt/geo/datora.dat");
    EXPECT_EQ(databaseFileFrom("/" + std::string(247, 'd')).size(), 259u);
    EXPECT_EQ(databaseFileFrom("/" + std::string(248, 'd')), "/datora.dat");

    EXPECT_EQ(savedSearchPathFrom("   /home/ann/@.SHP.wqs "), "/home/ann/@.SHP.wqs ");
    EXPECT_EQ(savedSearchPathFrom("   "), "");
    EXPECT_EQ(savedSearchPathFrom(""), "");
    EXPECT_EQ(savedSearchPathFrom(std::string(260, 'p')), "");
    const char* argv[] = {"kavrel", "/home/ann/My", "Maps.wqs"};
    EXPECT_EQ(commandLineOf(3, argv), "/home/ann/My Maps.wqs");
    EXPECT_EQ(commandLineOf(1, argv), "");
}

TEST(StartupSettings, read_in_one_step_with_defaults_for_what_is_missing) {
    {
        HiveEnv env(kMachineHive, kUserHive);
        CSettingsRegistry registry;
        const StartupSettings s = readStartupSettings(registry);
        EXPECT_EQ(s.databaseFile, "/opt/geo/db/datora.dat");
        EXPECT_EQ(s.options, 2u);
        EXPECT_EQ(s.installFolder, "/opt/kavrel/bin");
        EXPECT_EQ(s.namedEntries.size(), 4u);
        EXPECT_FALSE(registry.hasOpenKey());
    }
    HiveEnv empty(std::nullopt, std::nullopt);
    CSettingsRegistry registry;
    const StartupSettings s = readStartupSettings(registry);
    EXPECT_EQ(s.databaseFile, "/datora.dat");
    EXPECT_EQ(s.options, 0u);
    EXPECT_EQ(s.installFolder, "");
    // The eleven patterns of the table's kinds and the added kinds' own.
    EXPECT_EQ(s.namedEntries.size(), 30u);
}

} // namespace
