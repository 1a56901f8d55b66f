// kavrel-find --stac over the samples, read back: every Item holds what a
// STAC 1.0 Item must, in the types it must; its bbox and geometry cover the
// file's extent as GDAL and PROJ place it; its projection fields match
// GDAL's extent; ogrinfo reads each Item as a feature; an asset's href leads
// back to the file.
#include "gdal_tools.h"
#include "placed_corners.h"
#include "run_command.h"
#include "run_kavrel_find.h"
#include "temp_dir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using testsupport::runKavrelFind;
using testsupport::RunResult;
using testsupport::TempDir;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";

QJsonObject readJson(const std::string& path) {
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(TempDir::readFile(path)), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << path;
    return document.object();
}

// The members every Item has, and their JSON types.
void expectItemShape(const QJsonObject& item) {
    EXPECT_EQ(item["type"].toString(), "Feature");
    EXPECT_EQ(item["stac_version"].toString(), "1.0.0");
    EXPECT_TRUE(item["stac_extensions"].isArray());
    EXPECT_TRUE(item["id"].isString() && !item["id"].toString().isEmpty());
    EXPECT_TRUE(item["geometry"].isObject() || item["geometry"].isNull());
    EXPECT_EQ(item.contains("bbox"), item["geometry"].isObject());
    EXPECT_TRUE(item["properties"].isObject());
    EXPECT_TRUE(item["links"].isArray());
    EXPECT_TRUE(item["assets"].isObject());
    static const QRegularExpression rfc3339(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)");
    EXPECT_TRUE(rfc3339.match(item["properties"]["datetime"].toString()).hasMatch());
    const QJsonObject asset = item["assets"]["data"].toObject();
    EXPECT_TRUE(asset["href"].isString() && asset["type"].isString());
    EXPECT_EQ(asset["roles"].toArray(), QJsonArray{"data"});
    EXPECT_TRUE(asset["file:size"].isDouble());
    if (item.contains("bbox")) {
        const QJsonArray b = item["bbox"].toArray();
        ASSERT_EQ(b.size(), 4);
        // west, south, east, north
        EXPECT_LE(b[0].toDouble(), b[2].toDouble());
        EXPECT_LE(b[1].toDouble(), b[3].toDouble());
        EXPECT_GE(b[0].toDouble(), -180.0);
        EXPECT_LE(b[3].toDouble(), 90.0);
        const QJsonObject g = item["geometry"].toObject();
        EXPECT_TRUE(g["type"] == "Polygon" || g["type"] == "Point" || g["type"] == "LineString");
        EXPECT_TRUE(g["coordinates"].isArray());
    }
}

TEST(KavrelFindStac, items_of_the_samples_hold_what_stac_and_gdal_say) {
    TempDir out;
    const std::string folder = out / "catalog";
    const RunResult run = runKavrelFind({"--look-in", kSamples, "--stac", folder}, out);
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject catalog = readJson(folder + "/catalog.json");
    EXPECT_EQ(catalog["type"].toString(), "Catalog");
    EXPECT_EQ(catalog["stac_version"].toString(), "1.0.0");
    EXPECT_TRUE(catalog["description"].isString());

    // The codes of the samples' systems (data/samples.md).
    const std::map<std::string, int> codes = {{"countries.shp", 4326},
                                              {"europe_utm33.shp", 32633},
                                              {"central_etrs89.shp", 25833},
                                              {"new_york_stateplane.shp", 2263},
                                              {"europe_utm33.tif", 32633}};
    std::size_t items = 0, placed = 0, coded = 0;
    for (const QJsonValue link : catalog["links"].toArray()) {
        if (link["rel"] != "item")
            continue;
        ++items;
        const std::string itemPath = folder + "/" + link["href"].toString().toStdString();
        const QJsonObject item = readJson(itemPath);
        SCOPED_TRACE(item["id"].toString().toStdString());
        expectItemShape(item);
        const QJsonObject asset = item["assets"]["data"].toObject();
        const std::string path = QUrl(asset["href"].toString()).toLocalFile().toStdString();
        // A File Geodatabase is a folder: its size is that of its files.
        std::uintmax_t size = 0;
        if (std::filesystem::is_directory(path)) {
            for (const auto& file : std::filesystem::directory_iterator(path))
                size += file.file_size();
        } else {
            ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
            size = std::filesystem::file_size(path);
        }
        EXPECT_EQ(asset["file:size"].toInteger(), static_cast<qint64>(size));

        // The file's corners as GDAL and PROJ place them lie in the bbox.
        const auto corners = testsupport::placedCorners(path);
        EXPECT_EQ(corners.has_value(), item.contains("bbox"));
        if (corners) {
            ++placed;
            const QJsonArray b = item["bbox"].toArray();
            for (const auto& c : *corners) {
                EXPECT_GE(c.lon, b[0].toDouble() - 1e-7);
                EXPECT_GE(c.lat, b[1].toDouble() - 1e-7);
                EXPECT_LE(c.lon, b[2].toDouble() + 1e-7);
                EXPECT_LE(c.lat, b[3].toDouble() + 1e-7);
            }
        }
        // The extent in the file's own system is ogrinfo's.
        const QJsonObject properties = item["properties"].toObject();
        const std::string name = std::filesystem::path(path).filename().string();
        if (const auto code = codes.find(name); code != codes.end()) {
            ++coded;
            EXPECT_EQ(properties["proj:epsg"].toInt(), code->second);
            if (name.ends_with(".shp")) {
                const auto e = testsupport::ogrinfoExtent(path);
                ASSERT_TRUE(e);
                const QJsonArray box = properties["proj:bbox"].toArray();
                EXPECT_NEAR(box[0].toDouble(), e->west, 1e-5);
                EXPECT_NEAR(box[1].toDouble(), e->south, 1e-5);
                EXPECT_NEAR(box[2].toDouble(), e->east, 1e-5);
                EXPECT_NEAR(box[3].toDouble(), e->north, 1e-5);
            }
        }
        // ogrinfo reads the Item as one GeoJSON feature of its geometry.
        const auto info = testsupport::runCommand("ogrinfo -ro -al -so '" + itemPath + "' 2>&1");
        EXPECT_EQ(info.status, 0) << info.out;
        EXPECT_NE(info.out.find("Feature Count: 1"), std::string::npos) << info.out;
        if (item.contains("bbox")) {
            EXPECT_NE(info.out.find("Geometry: " + item["geometry"]["type"]
                                                       .toString()
                                                       .replace("LineString", "Line String")
                                                       .toStdString()),
                      std::string::npos)
                << info.out;
        }
    }
    EXPECT_GT(items, 20u);
    EXPECT_GT(placed, 15u);
    EXPECT_EQ(coded, codes.size());
    EXPECT_NE(run.err.find("STAC catalog of " + std::to_string(items) + " file(s) written to " +
                           folder + "/catalog.json; " + std::to_string(items - placed) +
                           " of them without a known extent\n"),
              std::string::npos)
        << run.err;
}

TEST(KavrelFindStac, files_below_the_catalog_get_relative_hrefs_and_a_bad_folder_fails) {
    TempDir tree;
    std::filesystem::copy(kSamples + "/world", tree / "my maps",
                          std::filesystem::copy_options::recursive);
    const RunResult run = runKavrelFind({"--look-in", tree.str(), "--stac", tree.str()}, tree);
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonObject item = readJson(tree / "items/countries.shp.json");
    EXPECT_EQ(item["assets"]["data"]["href"].toString(), "../my%20maps/countries.shp");

    tree.writeFile("plain", "a file where the folder should be");
    const RunResult blocked =
        runKavrelFind({"--look-in", tree.str(), "--stac", tree / "plain"}, tree);
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("kavrel-find: Cannot write " + tree / "plain"), std::string::npos)
        << blocked.err;
}

} // namespace
