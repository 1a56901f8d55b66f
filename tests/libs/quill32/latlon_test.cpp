// Latitude/longitude texts: every status of Datora_LLStringToDbl in checking
// and converting mode, and the display texts read back.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "quill32/datora.h"

namespace {

struct Case {
    const char* text;
    int longitude;
    int status;
    double degrees; // checked when status is 0
};

const Case kCases[] = {
    // Decimal degrees, signed or not.
    {"0", 0, 0, 0.0},
    {"45.5", 0, 0, 45.5},
    {"  -45.5 ", 0, 0, -45.5},
    {"+180", 1, 0, 180.0},
    {"-90", 0, 0, -90.0},
    {"95", 0, 7, 0},
    {"200", 1, 7, 0},
    {"-180.0001", 1, 7, 0},
    // Degrees minutes seconds with blanks or marks.
    {"45 30", 0, 0, 45.5},
    {"-95 30", 0, 7, 0},
    {"45 30 36", 0, 0, 45.51},
    {"45\xC2\xB0"
     "30'36\"",
     0, 0, 45.51},
    {"45\xB0 30' 36.0\"", 0, 0, 45.51},
    {"12\xC2\xB0"
     "30'",
     1, 0, 12.5},
    {"90 30", 0, 10, 0},
    {"179 59 60", 1, 12, 0},
    {"45 60", 0, 11, 0},
    {"45 75 10", 0, 11, 0},
    {"45 30 61.5", 0, 12, 0},
    // Hemisphere letters before or after, either case.
    {"45 30 N", 0, 0, 45.5},
    {"S45.5", 0, 0, -45.5},
    {"s 45 30", 0, 0, -45.5},
    {"122 30W", 1, 0, -122.5},
    {"E12", 1, 0, 12.0},
    {"95N", 0, 9, 0},
    {"W 181", 1, 9, 0},
    {"S 90 0 1", 0, 9, 0},
    {"45N", 1, 8, 0},  // latitude letter on a longitude
    {"12E", 0, 8, 0},  // and the other way round
    {"-45S", 0, 8, 0}, // sign and letter together
    {"N45S", 0, 8, 0},
    // Nothing to read: valid, but no value.
    {"", 0, 6, 0},
    {"   ", 0, 6, 0},
    {"-", 1, 6, 0},
    {"+", 0, 6, 0},
    {".", 0, 6, 0},
    // Malformed.
    {"abc", 0, 8, 0},
    {"1e3", 1, 8, 0},
    {"12x", 0, 8, 0},
    {"N", 0, 8, 0},
    {"45.5 30", 0, 8, 0}, // a fraction before minutes
    {"45 30 10 5", 0, 8, 0},
    {"45'30", 0, 8, 0}, // minutes mark on the degrees
    {"45--30", 0, 8, 0},
    {"1.2.3", 0, 8, 0},
};

TEST(LatLonText, statuses_and_values_in_both_modes) {
    for (int mode : {1, 0}) {
        for (const auto& c : kCases) {
            double value = -1234.5;
            int16_t detail = -1;
            const int status = Datora_LLStringToDbl(
                c.text, &value, static_cast<int16_t>(c.longitude), &detail, mode);
            EXPECT_EQ(status, c.status) << "'" << c.text << "' mode " << mode;
            if (c.status == 0) {
                EXPECT_NEAR(value, c.degrees, 1e-9) << "'" << c.text << "'";
            } else {
                EXPECT_EQ(value, -1234.5) << "value written on status " << status;
            }
            EXPECT_GE(detail, 0);
        }
    }
    EXPECT_EQ(Datora_LLStringToDbl(nullptr, nullptr, 0, nullptr, 1), 6);
}

TEST(LatLonText, display_texts_read_back) {
    char buf[512];
    const struct {
        double degrees;
        bool longitude;
        const char* text;
    } cases[] = {
        {45.51, false,
         "45\xC2\xB0"
         "30'36.000\"N"},
        {12.3456789, false,
         "12\xC2\xB0"
         "20'44.444\"N"}, // hundredths alone would be 1.1e-6 degrees off
        {-122.5, true,
         "122\xC2\xB0"
         "30'00.000\"W"},
        {0.0, true,
         "0\xC2\xB0"
         "00'00.000\"E"},
        {-0.0000001, false,
         "0\xC2\xB0"
         "00'00.000\"N"},
        {-33.999999999, false,
         "34\xC2\xB0"
         "00'00.000\"S"}, // no 60.00 seconds
        {180.0, true,
         "180\xC2\xB0"
         "00'00.000\"E"},
    };
    for (const auto& c : cases) {
        const int ok = c.longitude ? Datora_LonToString(c.degrees, -1, buf, sizeof buf)
                                   : Datora_LatToString(c.degrees, -1, buf, sizeof buf);
        ASSERT_EQ(ok, 1);
        EXPECT_STREQ(buf, c.text);
        double back = 0;
        ASSERT_EQ(Datora_LLStringToDbl(buf, &back, c.longitude, nullptr, 0), 0) << buf;
        EXPECT_NEAR(back, c.degrees, 0.5 / 3600000.0) << buf;
    }
    ASSERT_EQ(Datora_LatToString(-12.25, 0, buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "-12.250000");
    EXPECT_EQ(Datora_LatToString(NAN, -1, buf, sizeof buf), 0);
    EXPECT_EQ(Datora_LonToString(1.0, -1, buf, 0), 0);
    char tiny[5];
    ASSERT_EQ(Datora_LonToString(12.0, -1, tiny, sizeof tiny), 1);
    EXPECT_EQ(std::string(tiny).size(), 4u); // cut, still terminated
}

} // namespace
