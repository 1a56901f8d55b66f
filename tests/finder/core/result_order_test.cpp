#include "finder/result_order.h"

#include <gtest/gtest.h>

namespace {

using namespace finder;

RowTexts row(std::string name, std::string size = "1KB",
             std::string modified = "3/7/1999 9:05 AM") {
    return {std::move(name), "/data", std::move(size), "ESRI Shapefile", std::move(modified)};
}

TEST(CompareResultItems, each_column_compares_as_its_texts_mean) {
    struct Case {
        const char* what;
        RowTexts a, b;
        int column;
        int ascending; // sign of the result with the column's bit clear
    } cases[] = {
        {"upper case before lower case", row("B.shp"), row("a.shp"), kNameColumn, -1},
        {"bytes, not locale", row("\xc3\xa9.shp"), row("z.shp"), kNameColumn, 1},
        {"prefix first", row("road"), row("roads"), kNameColumn, -1},
        {"equal names", row("a"), row("a"), kNameColumn, 0},
        {"9KB before 10KB", row("a", "9KB"), row("b", "10KB"), kSizeColumn, -1},
        {"leading blanks and sign", row("a", "  -3KB"), row("b", "+2KB"), kSizeColumn, -1},
        {"no digits read as 0", row("a", "KB"), row("b", "0KB"), kSizeColumn, 0},
        {"same day, other time", row("a", "1KB", "3/7/1999 9:05 AM"),
         row("b", "1KB", "3/7/1999 11:59 PM"), kModifiedColumn, 0},
        {"days apart", row("a", "1KB", "12/31/1998 9:05 AM"), row("b", "1KB", "1/1/1999 1:00 AM"),
         kModifiedColumn, -1},
        {"missing blank", row("a", "1KB", "12/31/1998"), row("b", "1KB", "1/1/1999 1:00 AM"),
         kModifiedColumn, 0},
        {"absent texts", RowTexts{}, row("a"), kTypeColumn, -1},
        {"other column", row("a"), row("b"), 5, 0},
    };
    for (const Case& c : cases) {
        const int up = CompareResultItems(c.a, c.b, c.column, 0);
        const int down = CompareResultItems(c.a, c.b, c.column, 1u << c.column);
        EXPECT_EQ(up, c.ascending) << c.what;
        EXPECT_EQ(down, -c.ascending) << c.what;
    }
}

TEST(SortDirections, each_column_keeps_its_own_direction_across_sorts) {
    const RowTexts rows[] = {row("b", "10KB"), row("A", "9KB"), row("c", "2KB")};
    const std::vector<const RowTexts*> pointers = {&rows[0], &rows[1], &rows[2]};
    SortDirections directions;
    using Order = std::vector<std::size_t>;
    EXPECT_EQ(sortOrder(pointers, kNameColumn, directions), (Order{1, 0, 2}));
    EXPECT_EQ(sortOrder(pointers, kSizeColumn, directions), (Order{2, 1, 0}));
    EXPECT_EQ(sortOrder(pointers, kNameColumn, directions), (Order{2, 0, 1})); // second click
    EXPECT_EQ(sortOrder(pointers, kSizeColumn, directions), (Order{0, 1, 2}));
    EXPECT_EQ(directions.bits(), 0u);
    EXPECT_EQ(sortOrder(pointers, 7, directions), (Order{0, 1, 2}));
    EXPECT_EQ(directions.bits(), 0u);
}

} // namespace
