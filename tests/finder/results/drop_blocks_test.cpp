// The drop-file list and the Shell IDList Array of dragged rows, byte by
// byte, over real folders.
#include "results/drop_blocks.h"

#include "drag_support.h"
#include "temp_dir.h"

#include <platform/shell.h>

#include <cstdint>
#include <gtest/gtest.h>

namespace {

using finder::RowTexts;
using namespace platform;

std::string le32(std::size_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

// An identifier list: per component a 16-bit count (itself included) and the
// name, then a 16-bit zero.
std::string idList(const std::string& path) {
    std::string bytes;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            const std::size_t count = end - start + 2;
            bytes += {static_cast<char>(count), static_cast<char>(count >> 8)};
            bytes += path.substr(start, end - start);
        }
        start = end + 1;
    }
    return bytes + std::string(2, '\0');
}

// The block's bytes; freed here, as a receiver frees it.
std::string take(HGLOBAL block) {
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    std::string copy = bytes ? std::string(bytes, GlobalSize(block)) : std::string();
    GlobalUnlock(block);
    GlobalFree(block);
    return copy;
}

struct Case {
    const char* what;
    std::vector<testsupport::NameAndFolder> rows; // "@" at a folder's start: the temporary folder
    std::vector<std::string> paths;               // the drop-file list
    std::size_t hdropSize;                        // 0: as the paths need beyond 260 each
    std::string parent;                           // the identifier lists' parent folder
    std::vector<std::string> relative;            // each listed row below the parent
    bool grows = false;                           // the array grew at its first row
};

class DropBlocks : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"maps/roads.shp", "maps/rivers.shp", "maps/lakes.shp",
                                 "maps/north/a.tab", "maps/south/b.tab"})
            tmp.writeFile(name, "x");
        tmp.writeFile("d/" + std::string(100, 'a'), "x");
        tmp.writeFile("d/" + std::string(60, 'b'), "x");
        // One path of exactly 300 characters.
        longFolder = std::string(150, 'f');
        longName = std::string(300 - tmp.str().size() - longFolder.size() - 2, 'n');
        tmp.writeFile(longFolder + "/" + longName, "x");
    }

    std::string expand(const std::string& text) const {
        return text.starts_with('@') ? tmp.str() + text.substr(1) : text;
    }

    std::vector<Case> cases() const {
        const std::string a(100, 'a'), b(60, 'b');
        return {
            {"three rows of one folder",
             {{"roads.shp", "@/maps"}, {"rivers.shp", "@/maps/"}, {"lakes.shp", "@/maps"}},
             {"@/maps/roads.shp", "@/maps/rivers.shp", "@/maps/lakes.shp"},
             801,
             "@/maps",
             {"roads.shp", "rivers.shp", "lakes.shp"}},
            {"a row in the root gets no second separator",
             {{"etc", "/"}},
             {"/etc"},
             281,
             "/",
             {"etc"},
             true},
            {"rows of two folders hang below the folder they share",
             {{"a.tab", "@/maps/north"}, {"b.tab", "@/maps/south"}},
             {"@/maps/north/a.tab", "@/maps/south/b.tab"},
             541,
             "@/maps",
             {"north/a.tab", "south/b.tab"}},
            {"rows at different depths",
             {{"roads.shp", "@/maps"}, {"a.tab", "@/maps/north"}},
             {"@/maps/roads.shp", "@/maps/north/a.tab"},
             541,
             "@/maps",
             {"roads.shp", "north/a.tab"}},
            {"a 300-character path is neither cut nor written past the block",
             {{longName, "@/" + longFolder}},
             {"@/" + longFolder + "/" + longName},
             322,
             "@/" + longFolder,
             {longName}},
            {"a list longer than the parent's grows the array for every row left",
             {{a, "@/d"}, {b, "@/d"}},
             {"@/d/" + a, "@/d/" + b},
             541,
             "@/d",
             {a, b},
             true},
            {"a row without a folder is left out of the array",
             {{"roads.shp", "@/maps"}, {"etc", ""}},
             {"@/maps/roads.shp", "etc"},
             541,
             "@/maps",
             {"roads.shp"}},
            {"a row deleted since the search is left out of the array",
             {{"roads.shp", "@/maps"}, {"gone.shp", "@/maps"}, {"rivers.shp", "@/maps"}},
             {"@/maps/roads.shp", "@/maps/gone.shp", "@/maps/rivers.shp"},
             801,
             "@/maps",
             {"roads.shp", "rivers.shp"}},
        };
    }

    std::vector<RowTexts> rowsOf(const Case& c) const {
        std::vector<RowTexts> rows = testsupport::draggedRows(c.rows);
        for (RowTexts& row : rows)
            row.folder = expand(row.folder);
        return rows;
    }

    testsupport::TempDir tmp;
    std::string longFolder, longName;
};

TEST_F(DropBlocks, the_drop_file_list_holds_each_path_after_the_header_and_an_extra_nul) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        std::string expected = le32(20) + std::string(16, '\0');
        for (const std::string& path : c.paths)
            expected += expand(path) + '\0';
        expected += '\0';
        ASSERT_LE(expected.size(), c.hdropSize);
        expected.resize(c.hdropSize, '\0');
        EXPECT_EQ(take(finder::CreateHDrop(rowsOf(c))), expected);
    }
}

TEST_F(DropBlocks, the_drop_file_list_of_odd_rows) {
    const struct {
        std::vector<testsupport::NameAndFolder> rows;
        std::string list;
        std::size_t size;
    } oddCases[] = {
        {{}, std::string(1, '\0'), 21},
        {{{"roads.shp", ""}}, std::string("roads.shp\0\0", 11), 281},
        {{{"", "/data"}}, std::string("/data/\0\0", 8), 281},
        {{{"caf\xe9.shp", "/d\x80"}}, std::string("/d\x80/caf\xe9.shp\0\0", 15), 281},
    };
    for (const auto& c : oddCases) {
        std::string expected = le32(20) + std::string(16, '\0') + c.list;
        expected.resize(c.size, '\0');
        EXPECT_EQ(take(finder::CreateHDrop(testsupport::draggedRows(c.rows))), expected);
    }
}

TEST_F(DropBlocks, the_array_holds_the_parent_and_each_row_relative_to_it) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const std::size_t n = c.relative.size();
        const std::string parent = idList(expand(c.parent));
        std::string lists = parent, offsets;
        for (const std::string& name : c.relative) {
            offsets += le32(4 * n + 8 + lists.size());
            lists += idList(name);
        }
        std::string expected = le32(n) + le32(4 * n + 8) + offsets + lists;
        // Room for every list at the parent's size; growing at the first
        // row adds that row's size for each row.
        std::size_t size = parent.size() * (n + 1) + 4 * n + 8;
        if (c.grows)
            size += n * idList(c.relative.front()).size();
        ASSERT_LE(expected.size(), size);
        expected.resize(size, '\0');
        EXPECT_EQ(take(finder::CreateShellIdList(rowsOf(c))), expected);
    }
}

TEST_F(DropBlocks, no_array_without_a_row_the_shell_can_resolve) {
    const std::vector<testsupport::NameAndFolder> noArray[] = {
        {},
        {{"gone.shp", expand("@/maps")}},
        {{"roads.shp", expand("@/missing")}, {"x.shp", expand("@/missing")}},
        {{"roads.shp", ""}},
    };
    const std::size_t live = GlobalLiveCount();
    for (const auto& rows : noArray)
        EXPECT_EQ(finder::CreateShellIdList(testsupport::draggedRows(rows)), 0u);
    EXPECT_EQ(GlobalLiveCount(), live);
}

} // namespace
