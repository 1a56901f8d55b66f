#include "platform/wildcard.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(wildcard, matches_names_as_the_folder_listing_does) {
    const Case cases[] = {
        // letter case is ignored both ways
        {"*.SHP", "roads.shp", true},
        {"*.shp", "ROADS.SHP", true},
        {"*.SHP", "roads.shx", false},
        {"*.SHP", "roads.shp.bak", false},
        {"*.SHP", ".shp", true},
        // every name, with or without a dot
        {"*.*", "README", true},
        {"*.*", "roads.shp", true},
        {"*.*", ".hidden", true},
        {"*", "README", true},
        {"read*.*", "README", true},
        {"roads.*", "roads", true},
        {"roads.*", "roadsx", false},
        // a trailing dot asks for names without an extension
        {"*.", "Makefile", true},
        {"*.", "roads.shp", false},
        // ? is exactly one character
        {"road?.shp", "roads.shp", true},
        {"road?.shp", "road.shp", false},
        {"road?.shp", "roadss.shp", false},
        {"???", "abc", true},
        {"???", "ab", false},
        // * in the middle, several stars, back-tracking
        {"r*s.shp", "roads.shp", true},
        {"r*s.shp", "rs.shp", true},
        {"r*s.shp", "roads.shx", false},
        {"*a*b*", "xaybz", true},
        {"*a*b*", "xbya", false},
        {"*.tar.gz", "data.tar.gz", true},
        {"*.gz", "data.tar.gz", true},
        {"a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        // blanks and dots are ordinary characters
        {"my file*.tif", "My File 2.TIF", true},
        {"*.tif", "my file.tif ", false},
        {"..", "..", true},
        // nothing matches an empty pattern, nothing matches an empty name
        {"", "roads.shp", false},
        {"*", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::wildcardMatch(c.pattern, c.name), c.matches)
            << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
}

} // namespace
