#include "adrg_sets.h"
#include "kavrel/version.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <sys/wait.h>

using namespace adrgtest;

namespace {

struct HostRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs imdlhost with `arguments` (already quoted for the shell).
HostRun imdlhost(const testsupport::TempDir& dir, const std::string& arguments) {
    const std::string out = dir / "stdout.txt", err = dir / "stderr.txt";
    const std::string command =
        std::string(IMDLHOST) + " " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    HostRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = testsupport::TempDir::readFile(out);
    run.err = testsupport::TempDir::readFile(err);
    return run;
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

TEST(imdlhost, indices_equal_gdal_colours_mapped_to_the_palette_for_every_band_size) {
    const struct { int width, height; } sizes[] = {{128, 128}, {300, 200}, {200, 650}};
    for (const auto& size : sizes) {
        testsupport::TempDir dir;
        const std::string img = writeAdrgSet(dir.str(), size.width, size.height, 21);
        const auto want = expectedIndices(readWithGdal(dir / "ABCDEF01.GEN"));
        for (int band : {1, 7, 128, 300}) {
            SCOPED_TRACE(testing::Message()
                         << size.width << "x" << size.height << " band " << band);
            const HostRun run = imdlhost(dir, quoted(img) + " --band " + std::to_string(band) +
                                                  " --indices " + quoted(dir / "out.raw"));
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const std::string got = testsupport::TempDir::readFile(dir / "out.raw");
            ASSERT_EQ(got.size(), want.size());
            EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin(),
                                   [](std::uint8_t w, char g) { return w == std::uint8_t(g); }));
        }
    }
}

TEST(imdlhost, png_carries_the_palette_and_the_indices) {
    testsupport::TempDir dir;
    const std::string img = writeAdrgSet(dir.str(), 256, 128, 22);
    const auto want = expectedIndices(readWithGdal(dir / "ABCDEF01.GEN"));
    const HostRun run = imdlhost(dir, quoted(img) + " -o " + quoted(dir / "out.png") + " --info");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "width 256\nheight 128\nbits per pixel 8\ncolours 216\n");
    const QImage png(QString::fromStdString(dir / "out.png"));
    ASSERT_EQ(png.format(), QImage::Format_Indexed8);
    ASSERT_EQ(png.colorCount(), 216);
    EXPECT_EQ(png.color(0), qRgb(0, 0, 0));
    EXPECT_EQ(png.color(180), qRgb(209, 0, 0));
    EXPECT_EQ(png.color(215), qRgb(209, 209, 209));
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            ASSERT_EQ(png.pixelIndex(x, y), want[std::size_t(y * 256 + x)]) << x << "," << y;
}

TEST(imdlhost, verify_and_version_print_the_plug_in_answers) {
    testsupport::TempDir dir;
    const std::string img = writeAdrgSet(dir.str(), 128, 128, 23);
    const std::string both = dir.writeFile("both.img", "OVERVIEW_IMAGE_FILE GEO_DATA_FILE");
    const struct {
        std::string file;
        const char* answer;
    } cases[] = {{img, "1\n"}, {both, "0\n"}, {dir.writeFile("short.img", "x"), "1\n"}};
    for (const auto& c : cases) {
        const HostRun run = imdlhost(dir, "--verify " + quoted(c.file));
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, c.answer) << c.file;
    }
    // The host's own version first, then the plug-in's.
    EXPECT_EQ(imdlhost(dir, "--version").out,
              std::string("imdlhost ") + kavrel::kVersion + "\nADRG File Reader V1.0\n");
}

TEST(imdlhost, failures_print_a_message_and_exit_non_zero) {
    testsupport::TempDir dir;
    const std::string img = writeAdrgSet(dir.str(), 128, 128, 24);
    const struct {
        const char* name;
        std::string arguments;
        const char* message;
    } cases[] = {
        {"no general information", quoted(dir.makeFolder("none") + "/X.IMG"), "IMDLinit_image"},
        {"image file missing", quoted(dir / "ABCDEF02.IMG"), "Cannot open file."},
        {"plug-in missing", quoted(img) + " --plugin " + quoted(dir / "nothing.so"), "nothing.so"},
        {"no image", "--info", "usage"},
        {"bad band", quoted(img) + " --band 0", "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HostRun run = imdlhost(dir, c.arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

} // namespace
