#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/trace.h"

#include "hive_env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using testsupport::ScopedEnv;
using testsupport::TempDir;

TEST(paths, the_prefix_is_the_folder_above_the_programs_folder_unless_set) {
    // Test programs live in <build>/bin, and the build tree is laid out as a prefix.
    {
        ScopedEnv unset("KAVREL_PREFIX", "");
        EXPECT_EQ(platform::installPrefix(), KAVREL_BUILD_DIR);
        EXPECT_EQ(platform::dataFolder(), std::string(KAVREL_BUILD_DIR) + "/share/kavrel");
        EXPECT_EQ(platform::executablePath(),
                  std::string(KAVREL_BUILD_DIR) + "/bin/platform_tests");
    }
    ScopedEnv prefix("KAVREL_PREFIX", "/opt/atlion");
    EXPECT_EQ(platform::dataFolder(), "/opt/atlion/share/kavrel");
    ScopedEnv machine("KAVREL_SYSTEM_HIVE", "");
    EXPECT_EQ(platform::hivePath(platform::Hive::LocalMachine),
              "/opt/atlion/etc/kavrel/system.reg");
    // Installed in /usr (the Debian package): the configuration is in /etc.
    ScopedEnv usr("KAVREL_PREFIX", "/usr");
    EXPECT_EQ(platform::hivePath(platform::Hive::LocalMachine), "/etc/kavrel/system.reg");
}

TEST(paths, a_prefix_named_by_a_loaded_library_stands_for_the_executables) {
    ScopedEnv unset("KAVREL_PREFIX", "");
    ScopedEnv machine("KAVREL_SYSTEM_HIVE", "");
    platform::setInstallPrefix("/opt/atlion");
    EXPECT_EQ(platform::dataFolder(), "/opt/atlion/share/kavrel");
    EXPECT_EQ(platform::hivePath(platform::Hive::LocalMachine),
              "/opt/atlion/etc/kavrel/system.reg");
    {
        ScopedEnv prefix("KAVREL_PREFIX", "/srv/atlion");
        EXPECT_EQ(platform::installPrefix(), "/srv/atlion");
    }
    platform::setInstallPrefix("");
    EXPECT_EQ(platform::installPrefix(), KAVREL_BUILD_DIR);
}

TEST(paths, user_folders_follow_the_xdg_variables) {
    TempDir home;
    ScopedEnv homeEnv("HOME", home.str());
    ScopedEnv data("XDG_DATA_HOME", "");
    ScopedEnv config("XDG_CONFIG_HOME", "");
    ScopedEnv user("KAVREL_USER_HIVE", "");
    EXPECT_EQ(platform::userDataFolder(), home / ".local/share/kavrel");
    EXPECT_EQ(platform::hivePath(platform::Hive::CurrentUser), home / ".config/kavrel/user.reg");
    EXPECT_EQ(platform::desktopFolder(), home / "Desktop");

    home.writeFile(".config/user-dirs.dirs",
                   "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(platform::desktopFolder(), home / "Schreibtisch");

    ScopedEnv data2("XDG_DATA_HOME", "/srv/data");
    ScopedEnv config2("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(platform::userDataFolder(), "/srv/data/kavrel");
    EXPECT_EQ(platform::hivePath(platform::Hive::CurrentUser), "/srv/config/kavrel/user.reg");
}

TEST(paths, the_runtime_folder_is_private_and_the_same_for_the_whole_process) {
    const std::string folder = platform::runtimeFolder();
    ASSERT_FALSE(folder.empty());
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(platform::runtimeFolder(), folder);
}

TEST(trace, lines_go_to_the_installed_sink_and_nowhere_else) {
    std::vector<std::string> lines;
    platform::setTraceSink([&](std::string_view text) { lines.emplace_back(text); });
    platform::debugTrace("CImpIDataObject::GetData()\n");
    platform::setTraceSink({});
    testing::internal::CaptureStderr();
    platform::debugTrace("dropped\n"); // KAVREL_TRACE is not set for tests
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines, std::vector<std::string>{"CImpIDataObject::GetData()\n"});
    if (std::getenv("KAVREL_TRACE") == nullptr) {
        EXPECT_EQ(written, "");
    }
}

} // namespace
