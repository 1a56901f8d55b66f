#include "general_info.h"

#include "adrg_sets.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <optional>

using namespace rastrel;

namespace {

// A general-information text with an overview record and a geo data record,
// each field at its fixed distance from its "ADRG" anchor.
struct GenText {
    std::string overviewRows = "001", overviewColumns = "001";
    char overviewFlag = 'N';
    std::string rows = "002", columns = "003";
    char flag = 'Y';
    std::string tileIndex = "000010000200003000040000500006";

    std::string build() const {
        std::string overview = "ADRG" + std::string(200, '.');
        overview.replace(76, 3, overviewRows);
        overview.replace(79, 3, overviewColumns);
        overview[111] = overviewFlag;
        std::string geo = "ADRG" + std::string(335, '.') + tileIndex + "\x1e";
        geo.replace(256, 3, rows);
        geo.replace(259, 3, columns);
        geo[291] = flag;
        return "LEADER\x1eGENERAL_INFORMATION_FILE\x1e" + overview + geo;
    }
};

TEST(general_info, fields_are_taken_at_fixed_positions_from_the_anchor) {
    const struct {
        const char* name;
        GenText gen;
        bool overview;
        std::int32_t rows, columns;
        std::vector<std::uint8_t> map; // empty: no tile map
    } cases[] = {
        {"geo data image", {}, false, 2, 3, {255, 255, 255, 255, 255, 255}},
        {"overview image", {.overviewRows = "004", .overviewColumns = "005"}, true, 4, 5, {}},
        {"missing tiles: zeros and blanks",
         {.tileIndex = "00001000000000200003     00004"},
         false,
         2,
         3,
         {255, 0, 255, 255, 0, 255}},
        {"any other number marks a tile present",
         {.rows = "001", .columns = "004", .tileIndex = "99999-0001 0007x0000"},
         false,
         1,
         4,
         {255, 255, 255, 0}},
        {"no tile map", {.flag = 'N'}, false, 2, 3, {}},
        {"flag other than Y", {.flag = 'y'}, false, 2, 3, {}},
        {"counts that are not digits", {.rows = "abc", .flag = 'N'}, false, 0, 3, {}},
        {"blanks and sign before digits",
         {.rows = " +2", .columns = "3x1"},
         false,
         2,
         3,
         {255, 255, 255, 255, 255, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto g = parseGeneralInfo(c.gen.build(), c.overview);
        ASSERT_TRUE(g.has_value());
        EXPECT_EQ(g->tileRows, c.rows);
        EXPECT_EQ(g->tileColumns, c.columns);
        EXPECT_EQ(g->width, c.columns * 128);
        EXPECT_EQ(g->height, c.rows * 128);
        EXPECT_EQ(g->hasTileMap, !c.map.empty());
        EXPECT_EQ(g->tileMap, c.map);
    }
}

TEST(general_info, unreadable_texts_fail) {
    const std::string good = GenText{}.build();
    const struct {
        const char* name;
        std::string text;
        bool overview;
    } cases[] = {
        {"no anchor", "GENERAL_INFORMATION_FILE" + std::string(600, '.'), false},
        {"one anchor for a geo data image", "ADRG" + std::string(600, '0'), false},
        {"second anchor within 14 characters", "ADRGxxxxADRG" + std::string(600, '0'), false},
        {"anchor behind a zero byte", std::string("LEADER\0", 7) + good.substr(7), false},
        {"negative count", GenText{.rows = "-02", .flag = 'N'}.build(), false},
        {"empty", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(parseGeneralInfo(c.text, c.overview).has_value());
    }
}

TEST(general_info, overview_images_are_only_the_two_exact_spellings) {
    const struct {
        const char* path;
        bool overview;
    } cases[] = {
        {"/data/ABCDEF01.OVR", true},  {"ABCDEF01.ovr", true},        {"/data/ABCDEF01.Ovr", false},
        {"/data/ABCDEF01.oVR", false}, {"/data/ABCDEF01.IMG", false}, {"/data.OVR/ABCDEF01", false},
        {"/data/OVR", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isOverviewImage(c.path), c.overview) << c.path;
}

TEST(general_info, decimal_fields_convert_as_the_c_library_does) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"042", 42}, {"  7", 7}, {"+12", 12}, {"-05", -5}, {"1x2", 1},
        {"abc", 0},  {"", 0},    {"   ", 0},  {"- 1", 0},  {"99999", 99999},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decimalValue(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(decimalValue(std::string_view("12\0"
                                            "3",
                                            4)),
              12);
}

TEST(general_info, the_first_gen_file_by_name_is_read_whatever_its_letter_case) {
    testsupport::TempDir dir;
    EXPECT_EQ(findGeneralInfoFile(dir / "ABCDEF01.IMG"), "");
    dir.writeFile("notes.txt", "ADRG");
    dir.writeFile("ZZZZZZ01.GEN", "garbage");
    EXPECT_EQ(findGeneralInfoFile(dir / "ABCDEF01.IMG"), dir / "ZZZZZZ01.GEN");
    dir.writeFile("abcdef01.gen", GenText{}.build());
    dir.makeFolder("AAAAAA01.GEN"); // a folder is not a candidate
    EXPECT_EQ(findGeneralInfoFile(dir / "ABCDEF01.IMG"), dir / "abcdef01.gen");
    const auto g = readGeneralInfo(dir / "ABCDEF01.IMG");
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->width, 384);
    // A garbage file that lists first makes the reading fail.
    dir.writeFile("AAAAAA02.Gen", "garbage");
    EXPECT_FALSE(readGeneralInfo(dir / "ABCDEF01.IMG").has_value());
    EXPECT_FALSE(readGeneralInfo(dir / "missing-folder/ABCDEF01.IMG").has_value());
}

} // namespace
