// kavrel-footprint-map FOLDER OUT.png [WIDTH]: draws the footprints of the
// data files under FOLDER over the world map with the map-view library (the
// picture of the manual and README). Each footprint is drawn by a map of its
// own and laid over the world map multiplied, so overlapping footprints
// darken rather than hide one another.
#include "finder/export/footprint_writer.h"

#include <platform/paths.h>
#include <quill32/coordsys_database.h>
#include <strand32/layer.h>
#include <strand32/map.h>

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

const CoordSysKeys kLonLat{"LAT-LONG", "LAT-LONG", "WGS84", "METERS"};

struct Colours {
    std::uint32_t background, land, outline;
    bool graticule;
};

// The whole world drawn by one map of `layer` (a file the library opens).
std::optional<QImage> drawWorld(const std::string& layerFile, const std::string& document,
                                QSize size, const Colours& colours) {
    QWidget panel;
    panel.resize(size);
    strand32::Map map(document, &panel, {0, 0, size.width(), size.height()}, kLonLat);
    LayerDescriptor file;
    strand32::buildLayerDescriptor(layerFile, file);
    const std::optional<int> layer = map.addLayer(file, "layer");
    if (!layer)
        return std::nullopt;
    MapProperties properties = map.properties();
    properties.backgroundRgb = colours.background;
    properties.landRgb = colours.land;
    properties.outlineRgb = colours.outline;
    properties.showGraticule = colours.graticule;
    properties.showFrame = 0;
    map.setProperties(properties);
    map.setLayerVisible(*layer, true);
    map.setViewCenter({0, 0});
    map.setViewScale(360.0);
    map.redraw();
    return panel.grab().toImage();
}

// The data files under `folder`, as rows naming them, in name order.
std::vector<finder::RowTexts> layerFiles(const std::string& folder) {
    std::vector<finder::RowTexts> rows;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() &&
            strand32::layerTypeOf(entry.path().filename().string()) != LayerType::None)
            rows.push_back({entry.path().filename().string(), entry.path().parent_path().string(),
                            "", "", ""});
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.folder + a.name < b.folder + b.name; });
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kavrel-footprint-map FOLDER OUT.png [WIDTH]\n");
        return 2;
    }
    const int width = argc > 3 ? std::max(200, std::atoi(argv[3])) : 1000;
    const QSize size(width, width / 2);
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const std::string data = platform::dataFolder();
    if (!scratch.isValid() || !quill32::CoordSysDatabase::open(data + "/datora.dat")) {
        std::fprintf(stderr, "kavrel-footprint-map: cannot start the map library on %s\n",
                     data.c_str());
        return 1;
    }
    const std::string dir = scratch.path().toStdString();
    std::optional<QImage> picture = drawWorld(data + "/world.tab", dir + "/world.zvm", size,
                                              {0xdce9f5, 0xf4f1e8, 0xa0a0a0, true});
    if (!picture) {
        std::fprintf(stderr, "kavrel-footprint-map: cannot draw the world map\n");
        return 1;
    }
    QPainter painter(&*picture);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    int drawn = 0;
    for (const finder::RowTexts& row : layerFiles(argv[1])) {
        const std::string file = dir + "/footprint" + std::to_string(drawn) + ".shp";
        const finder::ExportRow exported{row, finder::fullPathOfRow(row.folder, row.name), nullptr,
                                         std::nullopt, std::nullopt};
        if (finder::exportFootprints(file, {exported}).written != 1)
            continue;
        const auto footprint =
            drawWorld(file, dir + "/footprint.zvm", size, {0xffffff, 0xfffaf6, 0xc0301a, false});
        if (footprint) {
            painter.drawImage(0, 0, *footprint);
            ++drawn;
        }
    }
    painter.end();
    if (!picture->save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "kavrel-footprint-map: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%d footprint(s) drawn into %s\n", drawn, argv[2]);
    return 0;
}
