#include "adrg_sets.h"
#include "temp_dir.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace adrgtest;

namespace {

struct Expected {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> indices; // top row first

    std::uint8_t at(std::int64_t row, std::int64_t column) const {
        if (row < 0 || row >= height || column < 0 || column >= width)
            return kFill;
        return indices[std::size_t(row * width + column)];
    }
    // What a read of `rows` rows from `row` delivers: bottom-up, from `firstColumn`.
    std::vector<std::uint8_t> read(std::int32_t row, std::int32_t rows, std::int32_t bytesPerRow,
                                   std::int32_t firstColumn) const {
        std::vector<std::uint8_t> out;
        for (std::int32_t i = 0; i < rows; ++i)
            for (std::int32_t k = 0; k < bytesPerRow; ++k)
                out.push_back(at(std::int64_t(row) + rows - 1 - i, std::int64_t(firstColumn) + k));
        return out;
    }
    void fillTile(int tile) {
        const int columns = width / 128;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                indices[std::size_t((tile / columns * 128 + y) * width + tile % columns * 128 +
                                    x)] = kFill;
    }
};

Expected expectedOf(const std::string& folder) {
    const RgbImage rgb = readWithGdal(folder + "/ABCDEF01.GEN");
    return {rgb.width, rgb.height, expectedIndices(rgb)};
}

class reading : public testing::Test {
protected:
    void SetUp() override { resetHostCalls(); }
    testsupport::TempDir dir;
};

TEST_F(reading, requests_inside_and_outside_the_image_are_clipped) {
    writeAdrgSet(dir.str(), 384, 256, 3);
    const Expected want = expectedOf(dir.str());
    OpenImage image(dir / "ABCDEF01.IMG");
    ASSERT_EQ(image.status(), 1);
    const struct {
        const char* name;
        std::int32_t row, rows, bytesPerRow, firstColumn;
    } cases[] = {
        {"whole image in one call", 0, 256, 384, 0},
        {"across a tile row boundary", 120, 20, 384, 0},
        {"one row of the second tile row", 200, 1, 384, 0},
        {"rows beyond the height", 250, 20, 384, 0},
        {"rows above the first", -5, 10, 384, 0},
        {"far outside", 1000, 3, 384, 0},
        {"fewer bytes than a tile", 10, 4, 100, 0},
        {"more bytes than the width", 10, 4, 500, 0},
        {"first column inside a tile", 10, 4, 200, 5},
        {"first column past the width", 10, 4, 200, 300},
        {"first column beyond the image", 10, 4, 128, 1000},
        {"negative first column", 10, 4, 200, -10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(image.read(c.row, c.rows, c.bytesPerRow, c.firstColumn),
                  want.read(c.row, c.rows, c.bytesPerRow, c.firstColumn));
    }
}

TEST_F(reading, each_tile_is_read_once_per_visit_of_its_tile_row) {
    writeAdrgSet(dir.str(), 384, 256, 4);
    OpenImage image(dir / "ABCDEF01.IMG");
    const int before = hostCalls().reads;
    image.readAll(384, 256, 1);
    EXPECT_EQ(hostCalls().reads - before, 6);
    // Going back to the first tile row reads its tiles again.
    image.read(0, 1, 384);
    EXPECT_EQ(hostCalls().reads - before, 9);
}

TEST_F(reading, two_images_in_one_process_keep_their_own_tiles) {
    const std::string first = dir.makeFolder("first"), second = dir.makeFolder("second");
    writeAdrgSet(first, 384, 256, 5);
    writeAdrgSet(second, 128, 640, 6);
    const Expected wantFirst = expectedOf(first), wantSecond = expectedOf(second);
    OpenImage a(first + "/ABCDEF01.IMG");
    {
        OpenImage b(second + "/ABCDEF01.IMG");
        // Alternate between the images, each read starting in a new tile row.
        for (int row = 0; row < 256; row += 64) {
            EXPECT_EQ(a.read(row, 64, 384), wantFirst.read(row, 64, 384, 0));
            EXPECT_EQ(b.read(row, 64, 128), wantSecond.read(row, 64, 128, 0));
        }
    } // the second image ends here, its band with it
    EXPECT_EQ(a.readAll(384, 256, 7), wantFirst.indices);
}

TEST_F(reading, missing_tiles_read_as_fill_without_shifting_later_tiles) {
    writeAdrgSet(dir.str(), 384, 256, 7);
    Expected want = expectedOf(dir.str());
    removeTile(dir.str(), 4);
    removeTile(dir.str(), 1);
    want.fillTile(1);
    want.fillTile(4);
    OpenImage image(dir / "ABCDEF01.IMG");
    EXPECT_EQ(image.readAll(384, 256, 128), want.indices);
}

TEST_F(reading, without_a_tile_map_tile_n_is_the_nth_record) {
    writeAdrgSet(dir.str(), 512, 256, 8);
    const Expected want = expectedOf(dir.str());
    setTileIndexFlag(dir.str(), 'N');
    OpenImage image(dir / "ABCDEF01.IMG");
    EXPECT_EQ(image.readAll(512, 256, 128), want.indices);
}

TEST_F(reading, tiles_cut_off_by_a_short_image_file_read_as_fill) {
    writeAdrgSet(dir.str(), 384, 256, 9);
    const Expected full = expectedOf(dir.str());
    const std::string img = dir / "ABCDEF01.IMG";
    const std::string bytes = readBytes(img);
    const struct {
        std::size_t length;
        int wholeTiles;
    } cases[] = {{2048 + 2 * 49152 + 20000, 2}, {2048 + 5 * 49152, 5}, {1000, 0}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        writeBytes(img, bytes.substr(0, c.length));
        Expected want = full;
        for (int tile = c.wholeTiles; tile < 6; ++tile)
            want.fillTile(tile);
        OpenImage image(img);
        EXPECT_EQ(image.readAll(384, 256, 128), want.indices);
    }
}

TEST_F(reading, damaged_general_information_fails_the_initialisation) {
    writeAdrgSet(dir.str(), 384, 256, 10);
    const std::string genPath = dir / "ABCDEF01.GEN";
    const std::string gen = readBytes(genPath);
    const std::string img = dir / "ABCDEF01.IMG";
    // Cut anywhere before the last tile index entry: 3. Exact-size files, so
    // that a read past the text is caught by the sanitizer build.
    const std::size_t needed = geoAnchor(gen) + 339 + 6 * 5;
    for (std::size_t length = 0; length < gen.size(); length += 3) {
        writeBytes(genPath, gen.substr(0, length));
        OpenImage image(img);
        EXPECT_EQ(image.status(), length >= needed ? 1 : 3) << "length " << length;
    }
    std::mt19937 random(1);
    std::string garbage(4000, '\0');
    for (char& c : garbage)
        c = char(random());
    writeBytes(genPath, garbage);
    EXPECT_EQ(OpenImage(img).status(), 3);
}

TEST_F(reading, garbage_image_files_still_deliver_whole_buffers) {
    writeAdrgSet(dir.str(), 256, 256, 11);
    std::mt19937 random(2);
    std::string garbage(2048 + 3 * 49152 + 77, '\0');
    for (char& c : garbage)
        c = char(random());
    writeBytes(dir / "ABCDEF01.IMG", garbage);
    OpenImage image(dir / "ABCDEF01.IMG");
    ASSERT_EQ(image.status(), 1);
    const auto rows = image.readAll(256, 256, 300);
    EXPECT_EQ(rows.size(), 256u * 256u);
    for (std::uint8_t index : rows)
        ASSERT_LT(index, 216);
}

TEST_F(reading, overview_spelling_chooses_the_anchor) {
    writeAdrgSet(dir.str(), 384, 256, 13);
    const std::string genPath = dir / "ABCDEF01.GEN";
    std::string gen = readBytes(genPath);
    gen.replace(overviewAnchor(gen) + 79, 3, "001"); // the overview is one tile wide
    writeBytes(genPath, gen);
    const struct {
        const char* name;
        std::uintptr_t width, height;
    } cases[] = {
        {"ABCDEF01.OVR", 128, 256}, {"ABCDEF01.ovr", 128, 256}, {"ABCDEF01.Ovr", 384, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::copy_file(dir / "ABCDEF01.IMG", dir / c.name);
        OpenImage image(dir / c.name);
        ASSERT_EQ(image.status(), 1);
        std::uintptr_t words[5] = {};
        ASSERT_EQ(plugin().buildDibHead(image.handle(), reinterpret_cast<std::uintptr_t>(words)),
                  1);
        EXPECT_EQ(words[3], c.width);
        EXPECT_EQ(words[4], c.height);
        std::filesystem::remove(dir / c.name);
    }
}

TEST_F(reading, counts_that_are_not_digits_give_an_empty_image) {
    writeAdrgSet(dir.str(), 384, 256, 14);
    const std::string genPath = dir / "ABCDEF01.GEN";
    std::string gen = readBytes(genPath);
    gen.replace(geoAnchor(gen) + 256, 3, "x01");
    writeBytes(genPath, gen);
    OpenImage image(dir / "ABCDEF01.IMG");
    ASSERT_EQ(image.status(), 1);
    std::uintptr_t words[5] = {};
    ASSERT_EQ(plugin().buildDibHead(image.handle(), reinterpret_cast<std::uintptr_t>(words)), 1);
    EXPECT_EQ(words[3], 384u);
    EXPECT_EQ(words[4], 0u);
    EXPECT_EQ(image.read(0, 2, 384), std::vector<std::uint8_t>(768, kFill));
}

} // namespace
