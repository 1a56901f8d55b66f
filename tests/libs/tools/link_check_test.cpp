// The programs and libraries that need no window must not load Qt's window
// (or, for the layer library, any) libraries, and kavrel-find starts without
// GDAL and PROJ (its layer module loads them when a search opens a file):
// ldd lists every shared library a file needs, directly or through another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "run_command.h"

namespace {

struct Case {
    const char* target;                 // CMake target, as KAVREL_LINK_CHECK_BUILT lists it
    const char* file;                   // below the build folder
    std::vector<const char*> forbidden; // prefixes of library file names
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.file;
}

bool builtHere(const std::string& target) {
    const std::string built = std::string(",") + KAVREL_LINK_CHECK_BUILT + ",";
    return built.find("," + target + ",") != std::string::npos;
}

std::string buildDir() {
    const char* env = std::getenv("KAVREL_BUILD_DIR");
    return env && *env ? env : KAVREL_BUILD_DIR;
}

class LinkCheck : public testing::TestWithParam<Case> {};

TEST_P(LinkCheck, needs_no_forbidden_library) {
    const Case& c = GetParam();
    if (!builtHere(c.target))
        GTEST_SKIP() << c.target << " is not built in this configuration";
    const std::string path = buildDir() + "/" + c.file;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const auto r = testsupport::runCommand("ldd '" + path + "' 2>&1");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("not found"), std::string::npos) << r.out;
    for (const char* library : c.forbidden)
        EXPECT_EQ(r.out.find(library), std::string::npos) << path << " needs " << library << ":\n"
                                                          << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LinkCheck,
    testing::Values(Case{"kavrel-find", "bin/kavrel-find", {"libQt6Widgets", "libgdal", "libproj"}},
                    // The layer library and its tool load no Qt library at all.
                    Case{"mapora-info", "bin/mapora-info", {"libQt6"}},
                    Case{"strand32", "lib/libstrand32.so", {"libQt6"}}),
    [](const testing::TestParamInfo<Case>& info) {
        std::string name = info.param.target;
        for (char& ch : name)
            if (ch == '-')
                ch = '_';
        return name;
    });

} // namespace
