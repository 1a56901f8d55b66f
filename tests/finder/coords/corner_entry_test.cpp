#include "finder/coords/corner_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace finder::coords;

TEST(CornerEntry, leading_number_reads_as_far_as_a_number_goes) {
    struct Case {
        const char* text;
        double value;
        std::size_t end;
    } cases[] = {
        {"  12.5xyz", 12.5, 6}, {"-.5", -0.5, 3}, {"1e3", 1000, 3}, {"1e+", 1, 1},
        {"-95 30", -95, 3},     {"abc", 0, 0},    {"-", 0, 0},      {"1e-999", 0, 6},
    };
    for (const Case& c : cases) {
        const LeadingNumber n = leadingNumber(c.text);
        EXPECT_EQ(n.value, c.value) << c.text;
        EXPECT_EQ(n.end, c.end) << c.text;
    }
    EXPECT_EQ(leadingNumber("1e999").value, INFINITY);
    EXPECT_EQ(leadingNumber("-1e999").value, -INFINITY);
    EXPECT_EQ(leadingNumber(std::string(400, '9')).value, INFINITY);
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1").value, 0.0);
}

TEST(CornerEntry, looks_like_lat_lon_by_hemisphere_letter_blank_or_range) {
    struct Case {
        const char* text;
        bool latitude;
        bool expected;
    } cases[] = {
        {"45", true, true},     {"-90", true, true},     {"90.0001", true, false},
        {"95", true, false},    {"95", false, true},     {"180", false, true},
        {"200", false, false},  {"0", false, false},     {"0.0", true, false},
        {"1e3", false, false},  {"1e999", false, false}, {"abc", true, false},
        {"-95 30", true, true}, {"45N", true, true},     {"12w", false, true},
        {"N45", true, true},    {"1e", false, true},     {"-", false, false},
        {"45x", true, true}, // other trailing characters do not matter
    };
    for (const Case& c : cases)
        EXPECT_EQ(LooksLikeLatLon(c.text, c.latitude), c.expected)
            << c.text << (c.latitude ? " (latitude)" : " (longitude)");
}

TEST(CornerEntry, is_plain_number) {
    for (const char* yes : {"0", "200", "-12.5", "+3", ".5", "5.", "-", "+", "."})
        EXPECT_TRUE(IsPlainNumber(yes)) << yes;
    for (const char* no : {"", "1e3", "1.2.3", "--1", " 1", "1 ", "abc", "12N"})
        EXPECT_FALSE(IsPlainNumber(no)) << no;
}

// What a leave handler shows for a text in an X (longitude) or Y box.
TEST(CornerEntry, leaving_a_box_checks_the_text_and_builds_the_message) {
    const std::string latLon(kInvalidLatLonText);
    struct Case {
        const char* text;
        bool longitude;
        bool ok;
        std::string message;
        std::size_t selectionStart;
    } cases[] = {
        {"", true, true, "", 0},
        {"0", true, true, "", 0},
        {"200", true, true, "", 0}, // plain number, not sent to the library
        {"95", false, true, "", 0},
        {"-", false, true, "", 0},
        {".", true, true, "", 0},
        {"45.5", false, true, "", 0},
        {"12 30 15", true, true, "", 0},
        {"abc", true, false, std::string(kInvalidNumberText), 0},
        {"1e3", true, false, std::string(kInvalidNumberText), 0},
        {"-95 30", false, false, latLon + "latitude degrees must be between -90 and +90 inclusive.",
         1},
        {"-195 30", true, false,
         latLon + "longitude degrees must be between -180 and +180 inclusive.", 1},
        {"95 30 N", false, false,
         latLon + "latitude degrees must be between -(S)90 and +(N)90 inclusive.", 0},
        {"45 75", false, false, latLon + "minutes must be between 0 and 60! ", 2},
        {"45 30 75", false, false, latLon + "seconds must be between 0 and 60! ", 5},
        {"45 30 x", false, false, latLon, 0},
    };
    for (const Case& c : cases) {
        const CornerCheck check = checkCornerText(c.text, c.longitude);
        EXPECT_EQ(check.ok, c.ok) << c.text;
        EXPECT_EQ(check.message, c.message) << c.text;
        EXPECT_EQ(check.selectionStart, c.selectionStart) << c.text;
    }
}

TEST(CornerEntry, corner_values_for_a_search) {
    // The map is shown: degrees, whatever the texts look like.
    CornerValues v = cornerValuesForSearch({"10", "50 30", "20W", "abc"}, true);
    EXPECT_TRUE(v.latLon);
    EXPECT_EQ(v.northwestX, 10);
    EXPECT_EQ(v.northwestY, 50.5);
    EXPECT_EQ(v.southeastX, -20);
    EXPECT_EQ(v.southeastY, 0); // rejected by the library
    // Boxes shown: the northwest X decides for all four.
    v = cornerValuesForSearch({"12E", "500000", "14E", "40N"}, false);
    EXPECT_TRUE(v.latLon);
    EXPECT_EQ(v.northwestY, 0); // 500000 is no latitude
    EXPECT_EQ(v.southeastY, 40);
    v = cornerValuesForSearch({"300000", "5600000.5", "45N", "x"}, false);
    EXPECT_FALSE(v.latLon);
    EXPECT_EQ(v.northwestY, 5600000.5);
    EXPECT_EQ(v.southeastX, 45); // the leading number
    EXPECT_EQ(v.southeastY, 0);
    EXPECT_FALSE(cornerValuesForSearch({"0", "50", "20", "40"}, false).latLon);
}

} // namespace
