#include "colour_table.h"
#include "dib_header.h"

#include "adrg_sets.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace rastrel;

namespace {

struct Rgb {
    int r, g, b;
};

TEST(colour_table, source_pixels_map_to_the_nearest_colour) {
    const ColourTable& table = sharedColourTable();
    const struct {
        Rgb source;
        int index;
    } cases[] = {
        {{255, 255, 255}, 215}, {{0, 0, 0}, 0},         {{23, 23, 23}, 0},
        {{24, 24, 24}, 43},     {{255, 0, 0}, 180},     {{0, 255, 0}, 30},
        {{0, 0, 255}, 5},       {{104, 104, 104}, 86}, // halfway between 83 and 125: lower
        {{111, 111, 111}, 86},  {{112, 112, 112}, 129}, {{7, 200, 90}, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source.r << "," << c.source.g << "," << c.source.b);
        EXPECT_EQ(table.indexOf(c.source.r, c.source.g, c.source.b), c.index);
    }
    EXPECT_EQ(table.fillIndex(), 215);
}

TEST(colour_table, inverse_map_agrees_with_a_channel_by_channel_search_everywhere) {
    const ColourTable& table = sharedColourTable();
    int mismatches = 0;
    for (int r = 0; r < 32; ++r)
        for (int g = 0; g < 32; ++g)
            for (int b = 0; b < 32; ++b) {
                const auto want = adrgtest::expectedIndex(std::uint8_t(8 * r), std::uint8_t(8 * g),
                                                          std::uint8_t(8 * b));
                if (table.inverse[r * 1024 + g * 32 + b] != want && ++mismatches < 5)
                    ADD_FAILURE() << "(" << r << "," << g << "," << b << ")";
            }
    EXPECT_EQ(mismatches, 0);
}

TEST(colour_table, shared_table_is_built_once_and_equals_a_fresh_build) {
    std::vector<const ColourTable*> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&seen, t] { seen[t] = &sharedColourTable(); });
    for (auto& thread : threads)
        thread.join();
    for (const auto* table : seen)
        EXPECT_EQ(table, seen[0]);
    auto fresh = std::make_unique<ColourTable>();
    buildPalette(*fresh);
    buildInverseMap(*fresh);
    EXPECT_EQ(fresh->palette, seen[0]->palette);
    EXPECT_EQ(fresh->inverse, seen[0]->inverse);
}

TEST(dib_header, block_of_an_image_5_tiles_wide_and_3_high_byte_by_byte) {
    std::vector<std::uint8_t> block(904 + 16, 0xEE);
    writeDibBlock(block.data(), 640, 384, sharedColourTable());
    const std::uint8_t header[40] = {
        40,   0, 0, 0, // header size
        0x80, 2, 0, 0, // width 640
        0x80, 1, 0, 0, // height 384, positive: bottom-up
        1,    0, 8, 0, // planes, bits per pixel
        0,    0, 0, 0, // no compression
        0,    0, 0, 0, // image size
        0,    0, 0, 0, // resolutions
        0,    0, 0, 0, //
        216,  0, 0, 0, // colours used: the entries the block holds
        0,    0, 0, 0, // colours important
    };
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(block[i], header[i]) << "header byte " << i;
    static const int levels[6] = {0, 41, 83, 125, 167, 209};
    for (int i = 0; i < 216; ++i) {
        const std::uint8_t* entry = block.data() + 40 + 4 * i;
        SCOPED_TRACE(i);
        EXPECT_EQ(entry[0], levels[i % 6]);     // blue
        EXPECT_EQ(entry[1], levels[i / 6 % 6]); // green
        EXPECT_EQ(entry[2], levels[i / 36]);    // red
        EXPECT_EQ(entry[3], 0);
    }
    for (std::size_t i = 904; i < block.size(); ++i)
        EXPECT_EQ(block[i], 0xEE) << "written past the block at " << i;
}

} // namespace
