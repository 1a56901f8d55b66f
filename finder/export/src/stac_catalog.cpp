// The catalog's JSON texts: built compact from the facts of each file, then
// laid out with two-blank indents (arrays of plain values on one line).
#include "finder/export/stac_catalog.h"

#include "finder/export/row_json.h"
#include "finder/joined_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <set>
#include <utility>

namespace finder {
namespace {

std::string number(double value) {
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string array(const std::vector<std::string>& items) {
    std::string text = "[";
    for (const std::string& item : items) {
        if (text.size() > 1)
            text += ',';
        text += item;
    }
    return text + ']';
}

std::string boxArray(const StacBox& box) {
    return array({number(box.west), number(box.south), number(box.east), number(box.north)});
}

std::string point(double x, double y) {
    return array({number(x), number(y)});
}

// {"a":..,"b":..} from names and values already in JSON form.
std::string object(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string text = "{";
    for (const auto& [name, value] : members) {
        if (text.size() > 1)
            text += ',';
        text += jsonString(name) + ':' + value;
    }
    return text + '}';
}

std::string link(const char* rel, const std::string& href, const char* type) {
    return object(
        {{"rel", jsonString(rel)}, {"href", jsonString(href)}, {"type", jsonString(type)}});
}

// RFC 3339 in UTC: 2021-03-07T09:05:30Z.
std::string rfc3339(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    char text[40] = "1970-01-01T00:00:00Z";
    if (gmtime_r(&time, &utc) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// A path as a URI path: unreserved characters and "/" kept, every other byte
// (blanks, "%", bytes that are not ASCII) as %XX.
std::string uriPath(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            text += c;
        } else {
            text += '%';
            text += hex[byte >> 4];
            text += hex[byte & 0xF];
        }
    }
    return text;
}

// The asset's href as seen from the Item in folder/items/.
std::string assetHref(const std::string& path, const std::string& folder) {
    std::string base = folder;
    if (base.empty() || base.back() != '/')
        base += '/';
    if (path.size() > base.size() && path.compare(0, base.size(), base) == 0)
        return "../" + uriPath(path.substr(base.size()));
    return "file://" + uriPath(path);
}

// The file's name with every character but letters, digits, ".", "-" and "_"
// replaced by "_", not starting with "."; "-2", "-3" ... where taken.
std::string uniqueId(const std::string& path, std::set<std::string>& taken) {
    std::string id = std::filesystem::path(path).filename().string();
    for (char& c : id)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            c = '_';
    if (id.empty() || id.front() == '.')
        id.insert(id.begin(), '_');
    std::string unique = id;
    for (int n = 2; !taken.insert(unique).second; ++n)
        unique = joined({id, "-", std::to_string(n)});
    return unique;
}

// Degrees within the globe: outlines turned into degrees may overshoot
// +-180 or +-90 by a rounding, which readers of the catalog refuse.
double withinGlobe(double degrees, double limit) {
    return std::clamp(degrees, -limit, limit);
}

StacBox withinGlobe(const StacBox& b) {
    return {withinGlobe(b.west, 180), withinGlobe(b.south, 90), withinGlobe(b.east, 180),
            withinGlobe(b.north, 90)};
}

std::optional<StacBox> boxOf(const StacFile& file) {
    if (file.lonLatBox || file.footprint.empty())
        return file.lonLatBox ? std::optional(withinGlobe(*file.lonLatBox)) : std::nullopt;
    StacBox box{file.footprint[0][0], file.footprint[0][1], file.footprint[0][0],
                file.footprint[0][1]};
    for (const auto& [lon, lat] : file.footprint) {
        box.west = std::min(box.west, lon);
        box.east = std::max(box.east, lon);
        box.south = std::min(box.south, lat);
        box.north = std::max(box.north, lat);
    }
    return withinGlobe(box);
}

// A GeoJSON geometry: a point or a line where the box has no area, else the
// outline (the box's own when there is none).
std::string geometry(const StacFile& file, const StacBox& box) {
    const bool flatX = box.west == box.east, flatY = box.south == box.north;
    if (flatX && flatY)
        return object({{"type", "\"Point\""}, {"coordinates", point(box.west, box.south)}});
    if (flatX || flatY)
        return object(
            {{"type", "\"LineString\""},
             {"coordinates", array({point(box.west, box.south), point(box.east, box.north)})}});
    std::vector<std::string> ring;
    if (file.footprint.size() >= 4) {
        for (const auto& [lon, lat] : file.footprint)
            ring.push_back(point(withinGlobe(lon, 180), withinGlobe(lat, 90)));
    } else {
        ring = {point(box.west, box.south), point(box.east, box.south), point(box.east, box.north),
                point(box.west, box.north), point(box.west, box.south)};
    }
    return object({{"type", "\"Polygon\""}, {"coordinates", array({array(ring)})}});
}

std::string itemJson(const StacFile& file, const std::string& id, const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> properties = {
        {"datetime", jsonString(rfc3339(file.modified))}};
    if (file.epsg)
        properties.push_back({"proj:epsg", std::to_string(*file.epsg)});
    else
        properties.push_back({"proj:epsg", "null"});
    if (!file.epsg && !file.wkt2.empty())
        properties.push_back({"proj:wkt2", jsonString(file.wkt2)});
    if (file.ownBox && (file.epsg || !file.wkt2.empty()))
        properties.push_back({"proj:bbox", boxArray(*file.ownBox)});

    const std::string catalog = "../catalog.json";
    std::vector<std::pair<std::string, std::string>> item = {
        {"type", "\"Feature\""},
        {"stac_version", "\"1.0.0\""},
        {"stac_extensions",
         array({jsonString(kStacProjectionSchema), jsonString(kStacFileSchema)})},
        {"id", jsonString(id)}};
    if (const std::optional<StacBox> box = boxOf(file)) {
        item.push_back({"geometry", geometry(file, *box)});
        item.push_back({"bbox", boxArray(*box)});
    } else {
        item.push_back({"geometry", "null"});
    }
    item.push_back({"properties", object(properties)});
    item.push_back({"links", array({link("root", catalog, "application/json"),
                                    link("parent", catalog, "application/json")})});
    const std::string asset =
        object({{"href", jsonString(assetHref(file.path, folder))},
                {"type", jsonString(file.mediaType)},
                {"title", jsonString(std::filesystem::path(file.path).filename().string())},
                {"roles", array({"\"data\""})},
                {"file:size", std::to_string(file.size)}});
    item.push_back({"assets", object({{"data", asset}})});
    return object(item);
}

// Copies the string that opens at `open` to `text`; returns where it closes.
std::size_t copyString(const std::string& json, std::size_t open, std::string& text) {
    std::size_t i = open + 1;
    while (i < json.size() && json[i] != '"')
        i += json[i] == '\\' ? 2 : 1;
    text.append(json, open, i - open + 1);
    return i;
}

// Where the array or object opened at `open` closes, and whether it holds
// another array or object.
std::pair<std::size_t, bool> closingOf(const std::string& json, std::size_t open) {
    std::string skipped;
    int depth = 0;
    bool nested = false;
    for (std::size_t i = open; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            i = copyString(json, i, skipped);
        } else if (c == '[' || c == '{') {
            nested |= ++depth > 1;
        } else if ((c == ']' || c == '}') && --depth == 0) {
            return {i, nested};
        }
    }
    return {json.size(), nested};
}

// Two blanks per level; an array of plain values stays on one line.
std::string laidOut(const std::string& json) {
    std::string text;
    std::size_t depth = 0;
    std::size_t flatEnd = 0; // an array on one line runs up to here
    const auto newLine = [&] { text += '\n' + std::string(depth * 2, ' '); };
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            i = copyString(json, i, text);
        } else if (i < flatEnd) {
            text += c;
            if (c == ',')
                text += ' ';
        } else if (c == '[' || c == '{') {
            text += c;
            const auto [close, nested] = closingOf(json, i);
            if (c == '[' && !nested) {
                flatEnd = close + 1;
                continue;
            }
            ++depth;
            newLine();
        } else if (c == ']' || c == '}') {
            --depth;
            newLine();
            text += c;
        } else if (c == ',') {
            text += c;
            newLine();
        } else {
            text += c;
            if (c == ':')
                text += ' ';
        }
    }
    return text + '\n';
}

} // namespace

std::vector<StacDocument> stacCatalog(const std::vector<StacFile>& files,
                                      const std::string& folder) {
    std::vector<StacDocument> documents(1);
    std::vector<std::string> links = {link("root", "./catalog.json", "application/json")};
    std::set<std::string> taken;
    for (const StacFile& file : files) {
        const std::string id = uniqueId(file.path, taken);
        const std::string path = joined({"items/", id, ".json"});
        links.push_back(link("item", "./" + path, "application/geo+json"));
        documents.push_back({path, laidOut(itemJson(file, id, folder))});
    }
    std::string name = std::filesystem::path(folder).filename().string();
    std::set<std::string> none;
    const std::string catalog =
        object({{"type", "\"Catalog\""},
                {"stac_version", "\"1.0.0\""},
                {"id", jsonString(uniqueId(name.empty() ? "catalog" : name, none))},
                {"title", jsonString("Atlion Find results")},
                {"description", jsonString(joined({"Geographic data files found by Atlion Find: ",
                                                   std::to_string(files.size()), " item(s)"}))},
                {"links", array(links)}});
    documents[0] = {"catalog.json", laidOut(catalog)};
    return documents;
}

std::string stacMediaType(const std::string& path) {
    static const std::pair<const char*, const char*> types[] = {
        {".tif", "image/tiff; application=geotiff"},
        {".tiff", "image/tiff; application=geotiff"},
        {".jp2", "image/jp2"},
        {".j2k", "image/jp2"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".bmp", "image/bmp"},
        {".geojson", "application/geo+json"},
        {".json", "application/json"},
        {".gpkg", "application/geopackage+sqlite3"},
        {".fgb", "application/vnd.flatgeobuf"},
        {".kml", "application/vnd.google-earth.kml+xml"},
        {".kmz", "application/vnd.google-earth.kmz"},
        {".gml", "application/gml+xml"},
        {".shp", "application/vnd.shp"},
        {".nc", "application/netcdf"},
        {".las", "application/vnd.las"},
        {".laz", "application/vnd.laszip"},
        {".sqlite", "application/vnd.sqlite3"},
        {".dwg", "image/vnd.dwg"},
        {".dxf", "image/vnd.dxf"},
        // Formats without a registered type: the types of ours that the
        // desktop knows them by (data/mime/kavrel.xml).
        {".tab", "text/x-mapinfo-tab"},
        {".mif", "text/x-mapinfo-mif"},
        {".dgn", "application/x-microstation-dgn"},
        {".kap", "image/x-bsb-chart"},
        {".zvl", "application/x-zvl-layer"},
    };
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [suffix, type] : types)
        if (extension == suffix)
            return type;
    return "application/octet-stream";
}

} // namespace finder
