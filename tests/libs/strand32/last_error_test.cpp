// Mapora_LastErrorText: a failing layer call leaves a text that says why,
// naming the file; the next successful call clears it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "gis_writer.h"
#include "strand32/mapora_layer.h"
#include "temp_dir.h"

using testsupport::TempDir;

namespace {

std::string lastErrorText() {
    char text[512];
    const int length = Mapora_LastErrorText(text, sizeof text);
    EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
    return text;
}

LayerDescriptor describe(const std::string& path) {
    LayerDescriptor d;
    strand32::buildPageLayerDescriptor(path, d);
    return d;
}

} // namespace

TEST(LastErrorText, failed_calls_say_why_and_success_clears) {
    TempDir dir;
    strand32test::writeVector(dir / "good.shp", "ESRI Shapefile", 4326, {"POINT (1 2)"});
    const LayerDescriptor good = describe(dir / "good.shp");
    const LayerDescriptor missing = describe(dir / "missing.shp");
    const LayerDescriptor junk = describe(dir.writeFile("junk.tab", "no table"));
    const std::string cutDatabase = dir.writeFile("cut.dat", "DATORA\t1\nGROUP\tUTM");
    MaporaExtent e{};
    MaporaObjectCounts n{};
    CoordSysKeys keys{};
    const struct {
        const char* name;
        std::function<bool()> fails; // the call, true when it failed
        std::string mentions;
    } cases[] = {
        {"extent of a missing file", [&] { return Mapora_LayerExtent(&missing, &e) == 0; },
         "missing.shp"},
        {"counts of a damaged table", [&] { return Mapora_LayerObjectCount(&junk, &n) == 0; },
         "junk.tab"},
        {"keys without a layer",
         [&] { return Mapora_LayerCoordSys(nullptr, &keys, nullptr, 0) == 0; }, "no layer"},
        {"keys of a missing file",
         [&] { return Mapora_LayerCoordSys(&missing, &keys, nullptr, 0) == 0; }, "missing.shp"},
        {"init with a damaged database", [&] { return Mapora_Init(cutDatabase.c_str()) != 0; },
         "cut.dat"},
        {"init without a database", [&] { return Mapora_Init(nullptr) != 0; }, "database"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.fails()) << c.name;
        EXPECT_NE(lastErrorText().find(c.mentions), std::string::npos)
            << c.name << ": " << lastErrorText();
        ASSERT_NE(Mapora_LayerExtent(&good, &e), 0);
        EXPECT_EQ(lastErrorText(), "") << c.name << ": a success kept the old text";
    }
    Mapora_Shutdown();
}
