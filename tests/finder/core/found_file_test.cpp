#include "finder/display_text.h"
#include "finder/found_file.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace finder;

TEST(FoundFile, size_text_rounds_up_over_the_whole_64_bit_size) {
    struct Case {
        std::uint64_t bytes;
        const char* expected;
    } cases[] = {
        {0, "0KB"},
        {1, "1KB"},
        {1024, "1KB"},
        {1025, "2KB"},
        {10 * 1024 + 512, "11KB"},
        {4294967295ULL, "4194304KB"},
        {4294967296ULL + 1024, "4194305KB"}, // not the remainder modulo 4 GB
        {5000000000ULL, "4882813KB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sizeText(c.bytes), c.expected) << c.bytes;
}

TEST(FoundFile, unknown_types_are_named_by_their_extension) {
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"survey", "File"},        {"data.xyz", "xyz File"},
        {"DATA.XyZ", "XyZ File"},  {"archive.v2.qqq", "qqq File"},
        {"notes.txt", "txt File"}, // plain text counts as not known
        {"trailing.", " File"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fallbackTypeText(c.name), c.expected) << c.name;
        EXPECT_EQ(fileTypeOf(c.name).name, c.expected) << c.name;
        EXPECT_EQ(fileTypeOf(c.name).iconName, "") << c.name;
    }
}

TEST(FoundFile, known_types_come_from_the_mime_database) {
    const FileType png = fileTypeOf("map.png");
    EXPECT_NE(png.name, "png File");
    EXPECT_FALSE(png.name.empty());
    EXPECT_FALSE(png.iconName.empty());
    // Cached answers are the same from any thread and for any base name.
    FileType fromThread;
    std::thread([&] { fromThread = fileTypeOf("other.png"); }).join();
    EXPECT_EQ(fromThread.name, png.name);
    EXPECT_EQ(fileTypeOf("x.tar.gz").name, fileTypeOf("y.tar.gz").name);
    EXPECT_NE(fileTypeOf("x.tar.gz").name, "gz File");
}

} // namespace

namespace {

TEST(DisplayText, utf8_is_decoded_and_every_other_byte_is_read_as_windows_1252) {
    const struct {
        const char* bytes;
        const char16_t* shown;
    } cases[] = {
        {"roads.shp", u"roads.shp"},
        {"\xC3\xA9t\xC3\xA9.tif", u"\u00E9t\u00E9.tif"},
        {"\xF0\x9F\x97\xBA.tab", u"\U0001F5FA.tab"},
        {"caf\xE9.shp", u"caf\u00E9.shp"},                 // Latin-1 / Windows-1252
        {"\x80\x81\x9F", u"\u20AC\u0081\u0178"},           // the 1252 range and an unassigned byte
        {"x\xC3(", u"x\u00C3("},                           // a lead byte without its follower
        {"\xC0\xAF", u"\u00C0\u00AF"},                     // overlong
        {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},           // a surrogate
        {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"}, // beyond Unicode
        {"\xF0\x9F", u"\u00F0\u0178"},                     // cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(finder::displayText(c.bytes), QString::fromUtf16(c.shown)) << c.bytes;
    EXPECT_NE(finder::displayText("a\xE9"), finder::displayText("a\xE8"));
}

} // namespace
