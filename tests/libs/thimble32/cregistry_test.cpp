// The database folder read from the local-machine hive.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "hive_env.h"
#include "thimble32/cregistry.h"

using testsupport::HiveEnv;

namespace {

std::string hiveWith(const std::string& valueLine) {
    return "REGEDIT4\n\n[Software\\Quorvane Geo]\n" + valueLine + "\n";
}

} // namespace

TEST(CRegistry, database_folder) {
    const struct {
        std::optional<std::string> hive;
        std::uint32_t size;
        std::uint32_t result;
        const char* folder; // expected buffer when the result is success
    } cases[] = {
        {hiveWith("\"DataBasePath\"=\"/opt/kavrel/share\""), 260, 0x20000000, "/opt/kavrel/share"},
        // The text with its NUL exactly fills the buffer.
        {hiveWith("\"DataBasePath\"=\"/abc\""), 5, 0x20000000, "/abc"},
        {hiveWith("\"DataBasePath\"=\"/abcd\""), 5, 234, nullptr},
        {hiveWith("\"DataBasePath\"=\"\""), 260, 2, nullptr},
        {hiveWith("\"Other\"=\"/x\""), 260, 2, nullptr},
        {hiveWith("\"DataBasePath\"=dword:00000001"), 260, 2, nullptr},
        {std::string("REGEDIT4\n\n[Software\\Elsewhere]\n\"DataBasePath\"=\"/x\"\n"), 260, 2,
         nullptr},
        {std::nullopt, 260, 2, nullptr}, // no hive file at all
    };
    for (const auto& c : cases) {
        HiveEnv env(c.hive);
        CRegistry registry;
        char buffer[260];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(registry.GetDatoraDatPath(buffer, c.size), c.result) << c.hive.value_or("none");
        if (c.folder)
            EXPECT_STREQ(buffer, c.folder);
        else
            EXPECT_EQ(buffer[0], '#') << "buffer written on failure";
    }
}

TEST(CRegistry, longest_folder_and_repeated_use) {
    const std::string folder = "/" + std::string(258, 'f'); // 259 characters
    HiveEnv env(hiveWith("\"DataBasePath\"=\"" + folder + "\""));
    CRegistry registry;
    char buffer[260];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(registry.GetDatoraDatPath(buffer, sizeof buffer), 0x20000000u);
        EXPECT_EQ(std::string(buffer), folder);
    }
    EXPECT_EQ(registry.GetDatoraDatPath(nullptr, 260), 234u);
}
