// kavrel-find's output for other programs: footprints of the samples written
// in several formats and read back with OGR, corners placed with PROJ; JSON
// rows against the tab-separated ones.
#include "gdal_tools.h"
#include "placed_corners.h"
#include "run_kavrel_find.h"
#include "temp_dir.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::runKavrelFind;
using testsupport::RunResult;
using testsupport::TempDir;
using Row = std::vector<std::string>;

const std::string kSamples = std::string(KAVREL_DATA_DIR) + "/samples";

std::vector<Row> tsvRows(const std::string& out) {
    std::vector<Row> rows;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        Row row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

// The path of a row, or of a feature's name and folder fields.
std::string fullPath(const Row& row) {
    return row.at(1) + "/" + row.at(0);
}

using testsupport::LonLat;
using testsupport::placedCorners;

struct Feature {
    Row fields; // null fields as ""
    std::unique_ptr<void, decltype(&OGR_G_DestroyGeometry)> polygon{nullptr, OGR_G_DestroyGeometry};
};

struct Layer {
    std::string authority; // of the layer's coordinate system: "EPSG:4326"
    std::vector<Feature> features;
};

Layer readFootprints(const std::string& path) {
    GDALAllRegister();
    Layer read;
    std::unique_ptr<void, decltype(&GDALClose)> ds(
        GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr), GDALClose);
    OGRLayerH layer = ds ? GDALDatasetGetLayer(ds.get(), 0) : nullptr;
    if (layer == nullptr)
        return read;
    if (OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(layer)) {
        OSRAutoIdentifyEPSG(srs);
        const char* name = OSRGetAuthorityName(srs, nullptr);
        const char* code = OSRGetAuthorityCode(srs, nullptr);
        read.authority = std::string(name ? name : "") + ":" + (code ? code : "");
    }
    while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
        Feature feature;
        for (int i = 0; i < OGR_F_GetFieldCount(f); ++i)
            feature.fields.push_back(OGR_F_IsFieldSetAndNotNull(f, i) ? OGR_F_GetFieldAsString(f, i)
                                                                      : "");
        if (OGRGeometryH g = OGR_F_GetGeometryRef(f))
            feature.polygon.reset(OGR_G_Clone(g));
        OGR_F_Destroy(f);
        read.features.push_back(std::move(feature));
    }
    return read;
}

// On the polygon or inside it.
bool covers(void* polygon, LonLat p) {
    std::unique_ptr<void, decltype(&OGR_G_DestroyGeometry)> point(OGR_G_CreateGeometry(wkbPoint),
                                                                  OGR_G_DestroyGeometry);
    OGR_G_SetPoint_2D(point.get(), 0, p.lon, p.lat);
    return OGR_G_Distance(polygon, point.get()) < 1e-7;
}

TEST(KavrelFindFootprints, read_back_with_ogr_one_polygon_per_placed_file_with_its_row_texts) {
    TempDir out;
    for (const char* extension : {"gpkg", "geojson", "shp", "fgb"}) {
        SCOPED_TRACE(extension);
        const std::string file = out / (std::string("footprints.") + extension);
        const RunResult run =
            runKavrelFind({"--look-in", kSamples, "--sort", "name", "--footprints", file}, out);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<Row> rows = tsvRows(run.out);
        const Layer layer = readFootprints(file);
        EXPECT_EQ(layer.authority, "EPSG:4326");

        // FlatGeobuf orders its features by its spatial index: matched by path.
        std::map<std::string, const Feature*> byPath;
        for (const Feature& feature : layer.features)
            byPath[fullPath(feature.fields)] = &feature;
        std::size_t placed = 0, leftOut = 0;
        for (const Row& row : rows) {
            SCOPED_TRACE(fullPath(row));
            const auto corners = placedCorners(fullPath(row));
            if (!corners) {
                ++leftOut;
                EXPECT_EQ(byPath.count(fullPath(row)), 0u);
                continue;
            }
            ++placed;
            ASSERT_EQ(byPath.count(fullPath(row)), 1u);
            const Feature& feature = *byPath[fullPath(row)];
            ASSERT_EQ(feature.fields.size(), 9u);
            EXPECT_EQ(Row(feature.fields.begin(), feature.fields.begin() + 5), row);
            ASSERT_TRUE(feature.polygon);
            for (const LonLat& corner : *corners)
                EXPECT_TRUE(covers(feature.polygon.get(), corner))
                    << corner.lon << " " << corner.lat;
            if (row[0] == "europe_utm33.shp") {
                EXPECT_EQ(Row(feature.fields.begin() + 5, feature.fields.end()),
                          (Row{"UTM", "UTM-33N", "WGS84", "METERS"}));
                // A projected extent's edges are densified.
                EXPECT_GT(OGR_G_GetPointCount(OGR_G_GetGeometryRef(feature.polygon.get(), 0)), 100);
            }
        }
        EXPECT_EQ(placed, layer.features.size());
        EXPECT_GT(placed, 15u);
        EXPECT_GT(leftOut, 3u); // the damaged files, the drawing in unknown metres
        EXPECT_NE(run.err.find("Footprints of " + std::to_string(placed) + " file(s) written to " +
                               file + "; " + std::to_string(leftOut) +
                               " file(s) without a known extent left out\n"),
                  std::string::npos)
            << run.err;
    }
}

TEST(KavrelFindFootprints, a_name_without_a_format_or_a_place_that_cannot_be_written_fails) {
    TempDir out;
    const RunResult unknown =
        runKavrelFind({"--look-in", kSamples, "--footprints", out / "a.xyz"}, out);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("No GDAL vector format writes files named a.xyz"), std::string::npos)
        << unknown.err;
    const RunResult nowhere =
        runKavrelFind({"--look-in", kSamples, "--footprints", out / "missing/folder/a.gpkg"}, out);
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("Cannot write " + out / "missing/folder/a.gpkg"), std::string::npos)
        << nowhere.err;
    // A second export replaces the first.
    const std::string file = out / "twice.shp";
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(
            runKavrelFind({"--look-in", kSamples + "/world", "--footprints", file}, out).status, 0);
    EXPECT_EQ(readFootprints(file).features.size(), 4u);
}

QJsonObject parsedLine(const std::string& line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    return document.object();
}

TEST(KavrelFindJson, rows_parse_and_equal_the_tab_separated_rows_with_extent_and_keys) {
    TempDir scratch;
    const std::vector<std::string> search = {"--look-in", kSamples, "--named",
                                             "*.*",       "--sort", "name"};
    const RunResult tsv = runKavrelFind(search, scratch);
    std::vector<std::string> jsonSearch = search;
    jsonSearch.insert(jsonSearch.end(), {"--format", "json"});
    const RunResult json = runKavrelFind(jsonSearch, scratch);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.err, tsv.err);
    const std::vector<Row> rows = tsvRows(tsv.out);
    std::istringstream lines(json.out);
    std::size_t withExtent = 0;
    for (const Row& row : rows) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line));
        const QJsonObject object = parsedLine(line);
        const char* names[] = {"name", "folder", "size", "type", "modified"};
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(object[names[i]].toString().toStdString(), row[i]) << line;
        EXPECT_EQ(object["path"].toString().toStdString(), fullPath(row));
        if (object.contains("extent"))
            ++withExtent;
        if (row[0] == "europe_utm33.shp") {
            const QJsonObject e = object["extent"].toObject();
            const auto expected = testsupport::ogrinfoExtent(fullPath(row));
            ASSERT_TRUE(expected);
            EXPECT_NEAR(e["west"].toDouble(), expected->west, 1e-5);
            EXPECT_NEAR(e["north"].toDouble(), expected->north, 1e-5);
            EXPECT_NEAR(e["east"].toDouble(), expected->east, 1e-5);
            EXPECT_NEAR(e["south"].toDouble(), expected->south, 1e-5);
            const QJsonObject k = object["keys"].toObject();
            EXPECT_EQ(k["system"].toString(), "UTM-33N");
            EXPECT_EQ(k["datum"].toString(), "WGS84");
        }
        if (row[0] == "notes.txt") {
            EXPECT_FALSE(object.contains("extent") || object.contains("keys")) << line;
        }
    }
    std::string extra;
    EXPECT_FALSE(std::getline(lines, extra)) << extra;
    EXPECT_GT(withExtent, 15u);
}

TEST(KavrelFindJson, names_with_quotes_controls_and_stray_bytes_stay_valid_json) {
    TempDir scratch;
    TempDir tree;
    const std::vector<std::string> names = {"quo\"te.qmd", "back\\slash.qmd", "bell\x07.qmd",
                                            "stray\xff.qmd", "\xc3\xbcml\xc3\xa4ut.qmd"};
    for (const std::string& name : names)
        tree.writeFile(name, "x");
    const RunResult run =
        runKavrelFind({"--look-in", tree.str(), "--named", "*.qmd", "--format", "json"}, scratch);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<QString> found;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        found.push_back(parsedLine(line)["name"].toString());
    std::vector<QString> expected;
    for (const std::string& name : names)
        expected.push_back(QString::fromUtf8(name)); // a stray byte reads as U+FFFD
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

} // namespace
