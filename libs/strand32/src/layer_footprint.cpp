// One reading of a layer: the shapefile header reader first, GDAL for
// everything it leaves, and the files the answer rests on.
#include "strand32/layer_footprint.h"

#include <algorithm>

#include <cpl_string.h>

#include "file_lookup.h"
#include "geotiff_footprint.h"
#include "layer_reading.h"
#include "layer_source.h"
#include "regular_files.h"
#include "shape_footprint.h"

namespace strand32 {
namespace {

// The folder part of a path, with its slash; empty for a bare name.
std::string folderPrefixOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The files GDAL read besides the layer's own, relative to its folder.
std::vector<std::string> filesRead(const LayerSource& source, const std::string& mainFile) {
    std::vector<std::string> files;
    if (char** list = GDALGetFileList(source.handle())) {
        for (char** item = list; *item != nullptr; ++item)
            files.push_back(plainPathOf(*item));
        CSLDestroy(list);
    }
    if (!source.companionFile.empty())
        files.push_back(source.companionFile);
    const std::string prefix = folderPrefixOf(mainFile);
    std::vector<std::string> companions;
    for (std::string& file : files) {
        if (file == mainFile)
            continue;
        if (!prefix.empty() && file.starts_with(prefix))
            file.erase(0, prefix.size());
        if (std::find(companions.begin(), companions.end(), file) == companions.end())
            companions.push_back(std::move(file));
    }
    return companions;
}

} // namespace

LayerFootprint readFootprintWithGdal(const LayerRef& layer) {
    QuietGdalScope quiet;
    LayerFootprint footprint;
    CPLErrorReset();
    const auto source = openLayerSource(layer);
    if (!source) {
        const char* why = CPLGetLastErrorMsg();
        footprint.error =
            "'" + layer.file + "' cannot be opened as a layer of its kind" +
            (why != nullptr && *why != '\0' ? std::string(": ") + why : std::string());
        return footprint;
    }
    footprint.extent = extentOf(*source, layer);
    footprint.crs = crsOf(*source);
    std::string mainFile = layer.file;
    if (std::string existing = resolveNoCase(mainFile); !existing.empty())
        mainFile = std::move(existing);
    footprint.companions = filesRead(*source, mainFile);
    return footprint;
}

LayerFootprint readLayerFootprint(const LayerRef& layer) {
    switch (layer.type) {
    case LayerType::Shape:
        return readShapeFootprint(layer);
    case LayerType::Raster:
        return readGeoTiffFootprint(layer);
    default:
        return readFootprintWithGdal(layer);
    }
}

} // namespace strand32
