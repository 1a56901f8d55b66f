// The texts the pages compute: the plain number format (expected texts
// from the exact decimal value of each double, worked out apart from this
// code), and the printable and latitude/longitude tests.
#include "page_text.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmora;

TEST(page_text, plain_number_format) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0."},
        {25.0, "25."},
        {0.5, "0.5"},
        {1e-5, "1.00000000000000008180305391403e-05"},
        {1e30, "1.00000000000000001988462483866e+30"},
        {-3.25, "-3.25"},
        {6109838.9207886672, "6109838.92078866716474294662476"},
        {0.1, "0.100000000000000005551115123126"},                  // fixed from 0.1 up
        {0.09999, "9.99899999999999955502261173024e-02"},           // exponent below it
        {1.2345678901234568e29, "123456789012345677877719597056."}, // 30 digits, no fraction
    };
    for (const auto& c : cases)
        EXPECT_EQ(plainNumber(c.value), c.text) << c.value;
    // Not a number: whatever the text, it is short and does not crash.
    EXPECT_LT(plainNumber(std::nan("")).size(), 10u);
}

TEST(page_text, printable_and_lat_long_tests) {
    const struct {
        std::string text;
        bool printable, latLong;
    } cases[] = {
        {"LAT-LONG", true, true},          {"UTM-33N", true, false},
        {"lat-long", true, false}, // the test is case-sensitive
        {"GEO LAT-LONG ~", true, true},    {"", false, false},
        {"UTM\t33", false, false},         {"Z\x7F", false, false},
        {"\xC3\xA9LAT-LONG", false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPrintable(c.text), c.printable) << c.text;
        EXPECT_EQ(isLatLong(c.text), c.latLong) << c.text;
    }
}
