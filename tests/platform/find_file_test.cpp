#include "platform/find_file.h"

#include "platform/registry.h"
#include "temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::FindEntry;
using platform::FindFile;

std::vector<FindEntry> list(const std::string& folder, std::string_view pattern) {
    std::vector<FindEntry> entries;
    FindFile find;
    if (find.open(folder, pattern) != platform::ERROR_SUCCESS)
        return entries;
    do
        entries.push_back(find.entry());
    while (find.next());
    return entries;
}

std::vector<std::string> names(const std::vector<FindEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.name);
    std::sort(out.begin(), out.end());
    return out;
}

class find_file : public testing::Test {
protected:
    void SetUp() override {
        tree.writeFile("roads.shp", "0123456789");
        tree.writeFile("ROADS.SHX");
        tree.writeFile("my rivers.SHP", std::string(5000, 'x'));
        tree.writeFile(".hidden.shp");
        tree.writeFile("README");
        tree.writeFile("sub folder/inner.shp");
        ::symlink((tree / "sub folder").c_str(), (tree / "link to sub").c_str());
        ::symlink((tree / "gone").c_str(), (tree / "dangling.shp").c_str());
    }
    testsupport::TempDir tree;
};

TEST_F(find_file, lists_the_names_a_pattern_matches_with_the_dots_first) {
    const auto all = list(tree.str(), "*.*");
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].name, ".");
    EXPECT_EQ(all[1].name, "..");
    EXPECT_EQ(names(all), (std::vector<std::string>{".", "..", ".hidden.shp", "README", "ROADS.SHX",
                                                    "dangling.shp", "link to sub", "my rivers.SHP",
                                                    "roads.shp", "sub folder"}));
    EXPECT_EQ(
        names(list(tree.str(), "*.shp")),
        (std::vector<std::string>{".hidden.shp", "dangling.shp", "my rivers.SHP", "roads.shp"}));
    EXPECT_EQ(names(list(tree.str(), "r*")),
              (std::vector<std::string>{"README", "ROADS.SHX", "roads.shp"}));
}

TEST_F(find_file, describes_each_entry) {
    std::map<std::string, FindEntry> byName;
    for (auto& e : list(tree.str(), "*"))
        byName[e.name] = e;
    using namespace platform;

    const FindEntry& file = byName["roads.shp"];
    EXPECT_FALSE(file.isFolder);
    EXPECT_EQ(file.size, 10u);
    EXPECT_EQ(file.attributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(byName["my rivers.SHP"].size, 5000u);
    EXPECT_EQ(byName[".hidden.shp"].attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);

    const FindEntry& folder = byName["sub folder"];
    EXPECT_TRUE(folder.isFolder);
    EXPECT_FALSE(folder.isSymlinkToFolder);
    EXPECT_EQ(folder.attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(folder.size, 0u);
    EXPECT_EQ(byName[".."].attributes, FILE_ATTRIBUTE_DIRECTORY);

    const FindEntry& link = byName["link to sub"];
    EXPECT_TRUE(link.isFolder);
    EXPECT_TRUE(link.isSymlinkToFolder);
    EXPECT_EQ(link.attributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);

    const FindEntry& dangling = byName["dangling.shp"];
    EXPECT_FALSE(dangling.isFolder);
    EXPECT_FALSE(dangling.isSymlinkToFolder);
    EXPECT_TRUE(dangling.attributes & FILE_ATTRIBUTE_REPARSE_POINT);

    // The last-write time of a file written just now, as a file time.
    struct stat st {};
    ASSERT_EQ(::stat((tree / "roads.shp").c_str(), &st), 0);
    EXPECT_EQ(file.lastWriteTime, fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec));
    const std::uint64_t now = fileTimeFromUnix(::time(nullptr), 0);
    EXPECT_LE(file.lastWriteTime, now + 10'000'000u);
    EXPECT_GE(file.lastWriteTime + 600 * 10'000'000ull, now);
}

TEST(file_time, counts_100ns_ticks_from_1601) {
    EXPECT_EQ(platform::fileTimeFromUnix(0, 0), 116444736000000000ull);
    // 1999-03-07 09:05:00 UTC
    EXPECT_EQ(platform::fileTimeFromUnix(920797500, 1234567), 125652711000012345ull);
    EXPECT_EQ(platform::fileTimeFromUnix(-11644473600 - 1, 0), 0u);
}

TEST_F(find_file, fails_cleanly_when_nothing_can_be_listed) {
    FindFile find;
    EXPECT_EQ(find.open(tree / "no such folder", "*.*"), platform::ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(find.isOpen());
    EXPECT_EQ(find.open(tree / "roads.shp", "*.*"), platform::ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(find.open(tree.str(), "*.dgn"), platform::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(find.isOpen());
    EXPECT_FALSE(find.next());

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    ::chmod((tree / "sub folder").c_str(), 0);
    EXPECT_EQ(find.open(tree / "sub folder", "*.*"), platform::ERROR_ACCESS_DENIED);
}

TEST_F(find_file, lists_the_current_folder_and_survives_a_move) {
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir((tree / "sub folder").c_str()), 0);
    FindFile find;
    const long result = find.open(".", "*.SHP");
    ASSERT_EQ(::chdir(old), 0);
    ASSERT_EQ(result, platform::ERROR_SUCCESS);
    EXPECT_EQ(find.entry().name, "inner.shp");

    FindFile moved = std::move(find);
    EXPECT_FALSE(moved.next());
}

} // namespace
