// The STAC catalog writer on plain facts: geometry by what is known of the
// place, hrefs relative or file:// URIs, IDs safe and unique, the coordinate
// system by code or WKT2, RFC 3339 times; every document parses as JSON.
#include "finder/export/stac_catalog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using finder::StacBox;
using finder::StacFile;

QJsonObject parsed(const std::string& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json;
    return document.object();
}

// The Items of a catalog of `files` written to `folder`.
std::vector<QJsonObject> items(const std::vector<StacFile>& files,
                               const std::string& folder = "/data/catalog") {
    std::vector<QJsonObject> objects;
    const auto documents = finder::stacCatalog(files, folder);
    for (std::size_t i = 1; i < documents.size(); ++i)
        objects.push_back(parsed(documents[i].json));
    return objects;
}

StacFile file(const std::string& path) {
    StacFile f;
    f.path = path;
    return f;
}

QJsonArray numbers(std::initializer_list<double> values) {
    QJsonArray array;
    for (double v : values)
        array.append(v);
    return array;
}

TEST(StacCatalog, geometry_follows_what_is_known_of_the_place) {
    using Ring = std::vector<std::array<double, 2>>;
    const Ring square = {{0, 0}, {2, 0}, {2, 1}, {0, 1}, {0, 0}};
    const struct {
        const char* what;
        Ring footprint;
        std::optional<StacBox> box;
        const char* type; // empty: null geometry and no bbox
        QJsonArray bbox;
    } cases[] = {
        {"unknown place", {}, std::nullopt, "", {}},
        {"outline gives its box", square, std::nullopt, "Polygon", numbers({0, 0, 2, 1})},
        {"box alone is its outline",
         {},
         StacBox{-10, 40, 5, 50},
         "Polygon",
         numbers({-10, 40, 5, 50})},
        {"a point", {}, StacBox{7, 45, 7, 45}, "Point", numbers({7, 45, 7, 45})},
        {"a line", {}, StacBox{7, 45, 9, 45}, "LineString", numbers({7, 45, 9, 45})},
        // A whole-world outline turned into degrees overshoots by a rounding.
        {"degrees kept within the globe",
         {{-180, -90},
          {180.00000000000006, -90},
          {180.00000000000006, 90.0000000001},
          {-180, 90.0000000001},
          {-180, -90}},
         std::nullopt,
         "Polygon",
         numbers({-180, -90, 180, 90})},
    };
    for (const auto& c : cases) {
        StacFile f = file("/data/a.shp");
        f.footprint = c.footprint;
        f.lonLatBox = c.box;
        const QJsonObject item = items({f}).front();
        ASSERT_TRUE(item.contains("geometry")) << c.what;
        if (*c.type == '\0') {
            EXPECT_TRUE(item["geometry"].isNull()) << c.what;
            EXPECT_FALSE(item.contains("bbox")) << c.what;
            continue;
        }
        const QJsonObject geometry = item["geometry"].toObject();
        EXPECT_EQ(geometry["type"].toString(), c.type) << c.what;
        EXPECT_EQ(item["bbox"].toArray(), c.bbox) << c.what;
        if (geometry["type"] == "Polygon") {
            const QJsonArray ring = geometry["coordinates"].toArray()[0].toArray();
            EXPECT_GE(ring.size(), 4) << c.what;
            EXPECT_EQ(ring.first(), ring.last()) << c.what; // closed
        }
    }
}

TEST(StacCatalog, asset_hrefs_are_relative_below_the_catalog_and_file_uris_elsewhere) {
    const struct {
        std::string path;
        const char* href;
    } cases[] = {
        {"/data/catalog/roads.shp", "../roads.shp"},
        {"/data/catalog/sub/My Maps/a b.tab", "../sub/My%20Maps/a%20b.tab"},
        {"/data/catalogue/x.shp", "file:///data/catalogue/x.shp"}, // not below: a longer name
        {"/other/100%.tif", "file:///other/100%25.tif"},
        {"/other/stray\xff\xc3\xa9.shp", "file:///other/stray%FF%C3%A9.shp"},
    };
    for (const auto& c : cases) {
        const QJsonObject item = items({file(c.path)}).front();
        const QJsonObject asset = item["assets"]["data"].toObject();
        EXPECT_EQ(asset["href"].toString().toStdString(), c.href) << c.path;
        EXPECT_EQ(asset["roles"].toArray(), QJsonArray{"data"});
    }
}

TEST(StacCatalog, ids_are_safe_file_names_and_unique_in_order) {
    const std::vector<StacFile> files = {file("/a/roads.shp"),   file("/b/roads.shp"),
                                         file("/c/roads.shp-2"), file("/d/roads.shp"),
                                         file("/e/.hidden"),     file("/f/My map (1).tab")};
    const auto documents = finder::stacCatalog(files, "/cat");
    const char* const ids[] = {"roads.shp",   "roads.shp-2", "roads.shp-2-2",
                               "roads.shp-3", "_.hidden",    "My_map__1_.tab"};
    const QJsonArray links = parsed(documents[0].json)["links"].toArray();
    ASSERT_EQ(documents.size(), files.size() + 1);
    ASSERT_EQ(links.size(), static_cast<qsizetype>(files.size() + 1));
    EXPECT_EQ(links[0]["rel"].toString(), "root");
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(parsed(documents[i + 1].json)["id"].toString().toStdString(), ids[i]);
        EXPECT_EQ(documents[i + 1].path, std::string("items/") + ids[i] + ".json");
        EXPECT_EQ(links[static_cast<qsizetype>(i + 1)]["href"].toString().toStdString(),
                  std::string("./items/") + ids[i] + ".json");
    }
}

TEST(StacCatalog, the_system_is_named_by_its_code_else_its_wkt2) {
    const struct {
        std::optional<int> epsg;
        std::string wkt2;
        QJsonValue code;
        bool hasWkt2, hasBox;
    } cases[] = {
        {32633, "", 32633, false, true},
        {std::nullopt, "PROJCRS[\"local\"]", QJsonValue::Null, true, true},
        {std::nullopt, "", QJsonValue::Null, false, false}, // no system: no box in it
    };
    for (const auto& c : cases) {
        StacFile f = file("/a/x.tif");
        f.epsg = c.epsg;
        f.wkt2 = c.wkt2;
        f.ownBox = StacBox{500000, 4000000, 600000, 4100000};
        const QJsonObject properties = items({f}).front()["properties"].toObject();
        EXPECT_EQ(properties["proj:epsg"], c.code);
        EXPECT_EQ(properties.contains("proj:wkt2"), c.hasWkt2);
        EXPECT_EQ(properties.contains("proj:bbox"), c.hasBox);
        if (c.hasBox) {
            EXPECT_EQ(properties["proj:bbox"].toArray(),
                      numbers({500000, 4000000, 600000, 4100000}));
        }
    }
}

TEST(StacCatalog, times_sizes_and_media_types) {
    StacFile f = file("/a/World.TIF");
    f.modified = 920797530; // 7 March 1999 09:05:30 UTC
    f.size = 5000000000;
    f.mediaType = finder::stacMediaType(f.path);
    const QJsonObject item = items({f}).front();
    EXPECT_EQ(item["properties"]["datetime"].toString(), "1999-03-07T09:05:30Z");
    EXPECT_EQ(item["assets"]["data"]["file:size"].toInteger(), 5000000000);
    EXPECT_EQ(item["assets"]["data"]["type"].toString(), "image/tiff; application=geotiff");
    const struct {
        const char* name;
        const char* type;
    } types[] = {{"a.shp", "application/vnd.shp"},
                 {"a.GPKG", "application/geopackage+sqlite3"},
                 {"a.mif", "text/x-mapinfo-mif"},
                 {"a.tif.aux.xml", "application/octet-stream"},
                 {"README", "application/octet-stream"}};
    for (const auto& t : types)
        EXPECT_EQ(finder::stacMediaType(t.name), t.type) << t.name;
}

} // namespace
