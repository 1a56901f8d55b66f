// LayerType by extension and the descriptors built from a file name.
#include "strand32/layer.h"

#include "file_lookup.h"
#include "platform/c_boundary.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace strand32 {
namespace {

// Copies `text` into a fixed slot, cut to fit with its NUL.
void copySlot(char (&slot)[kLayerPathSize], std::string_view text) {
    platform::copyToBuffer(text, slot, kLayerPathSize);
}

// The name without its extension, folder part kept.
std::string_view stemOf(std::string_view name) {
    const auto dot = name.rfind('.');
    const auto slash = name.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return name;
    return name.substr(0, dot);
}

std::array<std::string, 3> companionsOf(std::string_view name, LayerType type) {
    const std::string stem(stemOf(name));
    switch (type) {
    case LayerType::Zvl:
        return {stem + ".LD1", stem + ".LD2", stem + ".LD3"};
    case LayerType::Raster: {
        // The first georeferencing companion that exists, else the raster table.
        static constexpr const char* kGeoreferencing[] = {".RSF", ".TFW", ".WLD", ".JGW"};
        const int found = findCompanion(stem, kGeoreferencing);
        return {stem + (found >= 0 ? kGeoreferencing[found] : ".TAB"), {}, {}};
    }
    case LayerType::Shape:
        return {stem + ".SHX", {}, {}};
    case LayerType::MifMid:
        return {stem + ".MID", {}, {}};
    case LayerType::TabTable:
        return {std::string(), std::string(), std::string(kTabKeyText)};
    default:
        return {};
    }
}

// A slot's text up to its NUL.
std::string slotText(const char (&slot)[kLayerPathSize]) {
    return std::string(slot, strnlen(slot, kLayerPathSize));
}

// The descriptor of a layer: zeroed, then the names cut to fit their slots.
void fillDescriptor(const LayerRef& layer, LayerDescriptor& out) {
    std::memset(&out, 0, sizeof out);
    out.layerType = static_cast<std::uint16_t>(layer.type);
    copySlot(out.fileName, layer.file);
    for (std::size_t i = 0; i < layer.companions.size(); ++i)
        copySlot(out.companion[i], layer.companions[i]);
}

} // namespace

LayerType layerTypeOf(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return LayerType::None;
    const std::string_view ext = name.substr(dot);
    static constexpr std::pair<const char*, LayerType> kTable[] = {
        {".zvl", LayerType::Zvl},
        {".dxf", LayerType::Dxf},
        {".dwg", LayerType::Dwg},
        {".shp", LayerType::Shape},
        {".mif", LayerType::MifMid},
        {".tab", LayerType::TabTable},
        {".dgn", LayerType::Dgn},
        {".tif", LayerType::Raster},
        {".bmp", LayerType::Raster},
        {".jpg", LayerType::Raster},
        {".kap", LayerType::Raster},
        // Kinds beyond the table.
        {".gpkg", LayerType::GeoPackage},
        {".geojson", LayerType::GeoJson},
        {".fgb", LayerType::FlatGeobuf},
        {".kml", LayerType::Kml},
        {".kmz", LayerType::Kmz},
        {".gml", LayerType::Gml},
        {".sqlite", LayerType::SpatiaLite},
        {".gdb", LayerType::FileGdb},
        {".tiff", LayerType::Tiff},
        {".jp2", LayerType::Jpeg2000},
        {".nc", LayerType::NetCdf},
        {".img", LayerType::ErdasImagine},
        {".vrt", LayerType::Vrt},
        {".asc", LayerType::AsciiGrid},
        {".hgt", LayerType::Srtm},
        {".las", LayerType::Las},
        {".laz", LayerType::Laz},
    };
    for (const auto& [text, type] : kTable) {
        if (equalsNoCase(ext, text))
            return type;
    }
    return LayerType::None;
}

bool isContainerKind(LayerType type) {
    switch (type) {
    case LayerType::GeoPackage:
    case LayerType::SpatiaLite:
    case LayerType::FileGdb:
    case LayerType::Kml:
    case LayerType::Kmz:
    case LayerType::Gml:
    case LayerType::NetCdf:
        return true;
    default:
        return false;
    }
}

bool contentDecidesKind(LayerType type) {
    return isContainerKind(type) || type == LayerType::ErdasImagine;
}

bool isGeodatabaseFolder(int folderFd, const char* name) {
    const int folder = ::openat(folderFd, name, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    struct stat info {};
    const bool found =
        ::fstatat(folder, "a00000001.gdbtable", &info, 0) == 0 && S_ISREG(info.st_mode);
    ::close(folder);
    return found;
}

std::optional<LayerRef> layerRefOf(std::string_view name) {
    const LayerType type = layerTypeOf(name);
    if (type == LayerType::None)
        return std::nullopt;
    return LayerRef{std::string(name), type, companionsOf(name, type)};
}

LayerRef layerRefOf(const LayerDescriptor& layer) {
    return LayerRef{
        slotText(layer.fileName),
        static_cast<LayerType>(layer.layerType),
        {slotText(layer.companion[0]), slotText(layer.companion[1]), slotText(layer.companion[2])}};
}

bool buildLayerDescriptor(std::string_view name, LayerDescriptor& out) {
    const auto layer = layerRefOf(name);
    fillDescriptor(layer ? *layer : LayerRef{}, out);
    return layer.has_value();
}

std::optional<std::string> rasterTableImage(const std::string& tabPath) {
    // A table is a short text; anything larger is not read into memory.
    constexpr std::uintmax_t kMaxTableSize = 1 << 20;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(tabPath, ec);
    if (ec || size > kMaxTableSize)
        return std::nullopt;
    std::ifstream in(tabPath, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    const auto file = text.find("File");
    if (file == std::string::npos)
        return std::nullopt;
    const auto open = text.find('"', file + 4);
    if (open == std::string::npos)
        return std::nullopt;
    auto close = text.find('"', open + 1);
    const auto nameEnd = close == std::string::npos ? text.size() : close;
    // A longer name cannot be the image's: the table is not taken as raster
    // rather than cut to a name of some other file.
    if (nameEnd - open - 1 > 255)
        return std::nullopt;
    std::string image = text.substr(open + 1, nameEnd - open - 1);
    const auto afterName = close == std::string::npos ? text.size() : close + 1;
    const auto type = text.find("Type", afterName);
    if (type == std::string::npos || text.find("RASTER", type + 4) == std::string::npos)
        return std::nullopt;
    return image;
}

std::optional<std::string> rasterTableImagePath(const std::string& tabPath) {
    auto image = rasterTableImage(tabPath);
    if (!image)
        return std::nullopt;
    for (char& c : *image) {
        if (c == '\\')
            c = '/';
    }
    if (image->starts_with('/'))
        return image; // a full path stands as it is
    const auto slash = tabPath.find_last_of('/');
    return (slash == std::string::npos ? std::string() : tabPath.substr(0, slash + 1)) + *image;
}

LayerRef pageLayerRefOf(std::string_view fullPath) {
    std::string layer(fullPath);
    if (layerTypeOf(fullPath) == LayerType::TabTable) {
        if (auto image = rasterTableImagePath(layer))
            layer = *image;
    }
    if (auto ref = layerRefOf(layer))
        return std::move(*ref);
    return LayerRef{std::move(layer), LayerType::None, {}};
}

void buildPageLayerDescriptor(std::string_view fullPath, LayerDescriptor& out) {
    fillDescriptor(pageLayerRefOf(fullPath), out);
}

} // namespace strand32
