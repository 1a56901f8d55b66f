#include "adrg_sets.h"

#include <gdal.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>

namespace adrgtest {

namespace {

struct DatasetCloser {
    void operator()(void* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

constexpr std::size_t kRecord = 49152;
constexpr std::size_t kFirstRecord = 2048;

void check(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what);
}

std::uint8_t channel(int x, int y, int c, std::mt19937& random) {
    // Blocks of pure colours, then gradients with noise.
    if (y < 8) {
        static const std::uint8_t pure[][3] = {{255, 255, 255}, {0, 0, 0},    {255, 0, 0},
                                               {23, 23, 23},    {24, 24, 24}, {0, 255, 0},
                                               {104, 104, 104}, {0, 0, 255}};
        return pure[(x / 8) % 8][c];
    }
    const int base = c == 0 ? x * 3 + y : c == 1 ? y * 2 + x / 2 : (x ^ y) * 5;
    return static_cast<std::uint8_t>((base + int(random() % 24)) & 0xFF);
}

} // namespace

std::string writeAdrgSet(const std::string& folder, int width, int height, unsigned seed) {
    GDALAllRegister();
    Dataset source(GDALCreate(GDALGetDriverByName("MEM"), "", width, height, 3, GDT_Byte, nullptr));
    check(source != nullptr, "cannot create the source image");
    double transform[6] = {10.0, 1.0 / 1024, 0.0, 50.0, 0.0, -1.0 / 1024};
    GDALSetGeoTransform(source.get(), transform);
    GDALSetProjection(source.get(), "EPSG:4326");
    std::mt19937 random(seed);
    std::vector<std::uint8_t> plane(std::size_t(width) * std::size_t(height));
    for (int c = 0; c < 3; ++c) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                plane[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                    channel(x, y, c, random);
        check(GDALRasterIO(GDALGetRasterBand(source.get(), c + 1), GF_Write, 0, 0, width, height,
                           plane.data(), width, height, GDT_Byte, 0, 0) == CE_None,
              "cannot fill the source image");
    }
    const std::string gen = folder + "/ABCDEF01.GEN";
    Dataset written(GDALCreateCopy(GDALGetDriverByName("ADRG"), gen.c_str(), source.get(), FALSE,
                                   nullptr, nullptr, nullptr));
    check(written != nullptr, "GDAL cannot write " + gen);
    return folder + "/ABCDEF01.IMG";
}

RgbImage readWithGdal(const std::string& genPath) {
    GDALAllRegister();
    Dataset dataset(GDALOpen(genPath.c_str(), GA_ReadOnly));
    check(dataset != nullptr, "GDAL cannot open " + genPath);
    RgbImage image;
    image.width = GDALGetRasterXSize(dataset.get());
    image.height = GDALGetRasterYSize(dataset.get());
    image.rgb.resize(std::size_t(image.width) * std::size_t(image.height) * 3);
    int bands[3] = {1, 2, 3};
    check(GDALDatasetRasterIO(dataset.get(), GF_Read, 0, 0, image.width, image.height,
                              image.rgb.data(), image.width, image.height, GDT_Byte, 3, bands, 3,
                              3 * image.width, 1) == CE_None,
          "GDAL cannot read " + genPath);
    return image;
}

std::uint8_t expectedIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    static const int levels[6] = {0, 41, 83, 125, 167, 209};
    auto step = [](std::uint8_t value) {
        const int cut = (value / 8) * 8;
        int best = 0;
        for (int k = 1; k < 6; ++k)
            if (std::abs(cut - levels[k]) < std::abs(cut - levels[best]))
                best = k;
        return best;
    };
    return static_cast<std::uint8_t>(step(red) * 36 + step(green) * 6 + step(blue));
}

std::vector<std::uint8_t> expectedIndices(const RgbImage& image) {
    std::vector<std::uint8_t> out(image.rgb.size() / 3);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = expectedIndex(image.rgb[3 * i], image.rgb[3 * i + 1], image.rgb[3 * i + 2]);
    return out;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    check(bool(in), "cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    check(bool(out.flush()), "cannot write " + path);
}

std::size_t overviewAnchor(const std::string& gen) {
    const auto at = gen.find("ADRG");
    check(at != std::string::npos, "no ADRG anchor");
    return at;
}

std::size_t geoAnchor(const std::string& gen) {
    const auto at = gen.find("ADRG", overviewAnchor(gen) + 14);
    check(at != std::string::npos, "no second ADRG anchor");
    return at;
}

void removeTile(const std::string& folder, int tile) {
    const std::string genPath = folder + "/ABCDEF01.GEN";
    std::string gen = readBytes(genPath);
    const std::size_t tsi = geoAnchor(gen) + 339;
    check(gen[geoAnchor(gen) + 291] == 'Y', "the set has no tile index");
    // Record number of the tile: the present tiles before it.
    std::size_t record = 0;
    for (int n = 0; n < tile; ++n)
        if (std::atoi(gen.substr(tsi + 5 * std::size_t(n), 5).c_str()) != 0)
            ++record;
    gen.replace(tsi + 5 * std::size_t(tile), 5, "00000");
    writeBytes(genPath, gen);
    const std::string imgPath = folder + "/ABCDEF01.IMG";
    std::string img = readBytes(imgPath);
    img.erase(kFirstRecord + record * kRecord, kRecord);
    writeBytes(imgPath, img);
}

void setTileIndexFlag(const std::string& folder, char flag) {
    const std::string genPath = folder + "/ABCDEF01.GEN";
    std::string gen = readBytes(genPath);
    gen[geoAnchor(gen) + 291] = flag;
    writeBytes(genPath, gen);
}

} // namespace adrgtest
