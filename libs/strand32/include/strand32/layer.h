#pragma once
// How a data file is named to the map-view library: its kind, decided by the
// extension alone, and the descriptor that carries the file's name and the
// names of its companion files.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace strand32 {

// Kind of data file; the 16-bit code stored at the end of a descriptor.
enum class LayerType : std::uint16_t {
    None = 0,         // not a layer
    Zvl = 1,          // .zvl, companions .LD1 .LD2 .LD3
    Raster = 2,       // .tif .bmp .jpg .kap, georeferencing companion in slot 1
    Dxf = 4,          // .dxf
    Dwg = 8,          // .dwg
    Shape = 16,       // .shp, index .SHX in slot 1
    MifMid = 32,      // .mif, attributes .MID in slot 1
    Dgn = 128,        // .dgn
    TabTable = 20480, // .tab, the key text in slot 3
    // Kinds beyond the table, read with GDAL's driver of each (or from their
    // headers), no companions. Codes from 0x6001 up, clear of the table's.
    GeoPackage = 0x6001,   // .gpkg (and a .sqlite database that is a GeoPackage)
    GeoJson = 0x6002,      // .geojson
    FlatGeobuf = 0x6003,   // .fgb
    Kml = 0x6004,          // .kml
    Kmz = 0x6005,          // .kmz
    Gml = 0x6006,          // .gml
    SpatiaLite = 0x6007,   // .sqlite: by its content SpatiaLite, GeoPackage or none
    FileGdb = 0x6008,      // a folder named *.gdb (File Geodatabase)
    Tiff = 0x6009,         // .tiff
    Jpeg2000 = 0x600A,     // .jp2
    NetCdf = 0x600B,       // .nc
    ErdasImagine = 0x600C, // .img: by its content Erdas Imagine or none
    Vrt = 0x600D,          // .vrt
    AsciiGrid = 0x600E,    // .asc
    Srtm = 0x600F,         // .hgt
    Las = 0x6010,          // .las point cloud
    Laz = 0x6011,          // .laz point cloud (its header as .las)
};

constexpr std::size_t kLayerPathSize = 256;

// Key text that a .tab layer carries in companion slot 3.
inline constexpr char kTabKeyText[] = "wr512pqtzvbe648m";

// 1026 bytes: the file's name, three companion slots (NUL-terminated, cut to
// fit), then the LayerType code, 16-bit little-endian.
struct LayerDescriptor {
    char fileName[kLayerPathSize];
    char companion[3][kLayerPathSize];
    std::uint16_t layerType;
};
static_assert(sizeof(LayerDescriptor) == 1026);
static_assert(offsetof(LayerDescriptor, layerType) == 1024);

// Kind of a file by its extension (from the last "."), letter case ignored.
// A .sqlite or .img name gives a kind that its content must confirm
// (kindByContent in the layer library).
LayerType layerTypeOf(std::string_view name);

// A layer named for reading, with names of any length: the file, its kind
// and its companions, as the slots of a descriptor would hold them uncut.
// The descriptor is the outside callers' form; this is the library's own.
struct LayerRef {
    std::string file;
    LayerType type = LayerType::None;
    std::array<std::string, 3> companions;
};

// The layer of `name` (a full path, or one below a folder's descriptor)
// with its companions chosen as buildLayerDescriptor chooses them; nothing
// when the extension names no layer.
std::optional<LayerRef> layerRefOf(std::string_view name);

// The layer a descriptor names, its slots read up to their NUL.
LayerRef layerRefOf(const LayerDescriptor& layer);

// True for the kinds read as several layers (a GeoPackage's tables, a
// geodatabase's feature classes, a KML's folders, NetCDF variables).
bool isContainerKind(LayerType type);

// True for the kinds whose name alone does not make a file a layer: the
// containers (which may hold no spatial layer, or be a plain database) and
// .img files (Erdas Imagine or something else).
bool contentDecidesKind(LayerType type);

// True when `name` below the folder `folderFd` (AT_FDCWD for a full path or
// one relative to the current folder) is a folder holding a File
// Geodatabase's catalogue table (a00000001.gdbtable), as GDAL's OpenFileGDB
// driver wants. Symbolic links are followed.
bool isGeodatabaseFolder(int folderFd, const char* name);

// Fills `out` for `name` as given (a full path, or a bare name relative to
// the current folder). The descriptor is zeroed first; false, with only the
// type 0 stored, when the extension names no layer. For a raster the first
// existing of name.RSF, .TFW, .WLD, .JGW goes into slot 1, else name.TAB.
bool buildLayerDescriptor(std::string_view name, LayerDescriptor& out);

// The image a raster .tab table refers to: the text between the double quote
// that follows "File" and the next quote, when "Type" and then "RASTER"
// follow. Nothing when the file is not such a table, the name is longer than
// 255 characters, or the file cannot be read or is larger than 1 MiB (no
// table is).
std::optional<std::string> rasterTableImage(const std::string& tabPath);

// The path of the image a raster table refers to: the table's folder
// followed by the referenced name ("\\" read as "/"), or the name itself when
// it is a full path. Nothing when `tabPath` is not a raster table.
std::optional<std::string> rasterTableImagePath(const std::string& tabPath);

// The layer the property pages use for a full path: a raster .tab table
// stands for the image it refers to (in the table's folder), and a file of
// no known kind is still named (type 0).
LayerRef pageLayerRefOf(std::string_view fullPath);

// The same as a descriptor (names cut to fit its slots).
void buildPageLayerDescriptor(std::string_view fullPath, LayerDescriptor& out);

} // namespace strand32

using strand32::LayerDescriptor;
using strand32::LayerType;
