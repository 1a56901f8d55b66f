#pragma once
// A static STAC 1.0 catalog of files: catalog.json and one Item per file,
// made as texts from plain facts about each file, whoever gathered them. No
// GDAL, no file system: writing the texts is stac_export.h's job.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace finder {

// A rectangle as STAC orders it: x minimum, y minimum, x maximum, y maximum.
struct StacBox {
    double west = 0, south = 0, east = 0, north = 0;
};

// What the catalog says of one file.
struct StacFile {
    std::string path;          // full path
    std::uint64_t size = 0;    // bytes
    std::int64_t modified = 0; // Unix seconds
    // In longitude/latitude on WGS 84: the outline (closed, counter-clockwise)
    // and its box; both empty when the file's place is not known. A box alone
    // stands for its own outline; an outline alone gives its box.
    std::vector<std::array<double, 2>> footprint;
    std::optional<StacBox> lonLatBox;
    // The file's coordinate system: its EPSG code, else its WKT2 text; neither
    // when the file names none. The extent in the file's own coordinates.
    std::optional<int> epsg;
    std::string wkt2;
    std::optional<StacBox> ownBox;
    std::string mediaType;
};

// One JSON document of the catalog.
struct StacDocument {
    std::string path; // below the catalog's folder: "catalog.json", "items/ID.json"
    std::string json;
};

// The extensions the Items use.
inline constexpr char kStacProjectionSchema[] =
    "https://stac-extensions.github.io/projection/v1.1.0/schema.json";
inline constexpr char kStacFileSchema[] =
    "https://stac-extensions.github.io/file/v2.1.0/schema.json";

// The catalog of `files` to be written to `folder` (absolute): catalog.json,
// then items/ID.json per file in their order. IDs are the file names made
// safe as file names and unique; an asset's href is relative to its Item
// where the file lies below `folder`, a file:// URI otherwise. A file whose
// place is not known gets an Item with a null geometry and no bbox.
std::vector<StacDocument> stacCatalog(const std::vector<StacFile>& files,
                                      const std::string& folder);

// The media type of a data file, by its name's extension (letter case
// ignored): the registered types where the format has one.
std::string stacMediaType(const std::string& path);

} // namespace finder
