// The page reader's lines: every text comes back as written, whatever
// characters it holds, and lines out of place are passed over.
#include "reader_protocol.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace velmorahost;

// The answers the lines of `text` end, in order.
std::vector<std::vector<PageTexts>> decodeAll(const std::string& text, std::string* error) {
    SheetDecoder decoder;
    std::vector<std::vector<PageTexts>> sheets;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (auto sheet = decoder.feed(line))
            sheets.push_back(std::move(*sheet));
    }
    *error = decoder.error();
    return sheets;
}

// The pages as one text, every field in brackets.
std::string shown(const std::vector<PageTexts>& pages) {
    std::string text;
    for (const PageTexts& page : pages) {
        text += "[" + page.title + "][" + (page.hasButtons ? "1" : "0") + "]";
        for (const PageRow& row : page.rows)
            text += "[" + row.label + "][" + row.value + "]";
    }
    return text;
}

TEST(reader_protocol, texts_come_back_as_written) {
    const std::string texts[] = {"",
                                 "Unknown",
                                 "a\tb",
                                 "two\nlines",
                                 "back\\slash",
                                 "ends in \\",
                                 "\\t not a tab",
                                 "cr\r",
                                 "64\xc2\xb0"
                                 "08'36.454\"N"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::vector<PageTexts> pages = {{text, {{text, text}, {"Datum:", text}}, true},
                                              {"Spatial Objects", {}, false}};
        std::string error;
        const auto sheets = decodeAll(encodeSheet(pages) + encodeSheet(pages), &error);
        ASSERT_EQ(sheets.size(), 2u);
        EXPECT_EQ(shown(sheets[0]), shown(pages));
        EXPECT_EQ(shown(sheets[1]), shown(pages));
        EXPECT_EQ(error, "");
    }
}

TEST(reader_protocol, errors_are_kept_and_lines_out_of_place_passed_over) {
    const struct {
        std::string lines;
        std::size_t sheets;
        std::size_t rowsOfFirstPage;
        std::string error;
    } cases[] = {
        {encodeError("no\tpages"), 0, 0, "no\tpages"},
        {"row\ta\tb\npage\tP\t0\nrow\tc\td\nsheet\n", 1, 1, ""}, // a row before any page
        {"page\tP\t0\nrow\tonly label\nrow\ta\tb\textra\nsheet\n", 1, 0, ""},
        {"page\tP\t0\nnonsense\nsheet\textra\n", 0, 0, ""}, // no answer without its end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        std::string error;
        const auto sheets = decodeAll(c.lines, &error);
        ASSERT_EQ(sheets.size(), c.sheets);
        if (!sheets.empty()) {
            EXPECT_EQ(sheets[0][0].rows.size(), c.rowsOfFirstPage);
        }
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
