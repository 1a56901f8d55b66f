// Times the selection map: a redraw of the whole world at the panel's size
// and at a large size, a repaint without a change (the outline of a drag
// moving over the map), one zoom step (scale change and redraw), then the
// same redraw with 10,000 footprints over Europe (every tenth densified as
// a projected file's, one in a hundred selected), a change of selection and
// a look-up of the footprints under a pixel. Each is averaged over many
// runs. Prints milliseconds per operation; a frame at 60 Hz is 16.7 ms.
//   kavrel-map-bench [RUNS]
#include "europe_footprints.h"

#include <platform/paths.h>
#include <quill32/coordsys_database.h>
#include <strand32/layer.h>
#include <strand32/map.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const CoordSysKeys kKeys{"LAT-LONG", "LAT-LONG", "WGS84", "METERS"};
constexpr int kFootprints = 10000;

// Milliseconds per call of `step`, over `runs` calls.
template <typename Step> double timed(int runs, Step step) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runs; ++i)
        step(i);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / runs;
}

// Every hundredth selected.
std::vector<strand32::MapFootprint> footprintsToDraw() {
    std::vector<strand32::MapFootprint> footprints;
    for (strand32::LonLatRing& ring : bench::europeFootprints(kFootprints)) {
        const auto id = static_cast<std::uint64_t>(footprints.size());
        footprints.push_back({id, {std::move(ring)}, id % 100 == 0});
    }
    return footprints;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    QApplication app(argc, argv);
    const std::string data = platform::dataFolder();
    if (!quill32::CoordSysDatabase::open(data + "/datora.dat")) {
        std::fprintf(stderr, "cannot start the map library on %s\n", data.c_str());
        return 1;
    }
    const std::vector<strand32::MapFootprint> footprints = footprintsToDraw();
    for (const QSize size : {QSize(300, 152), QSize(1200, 600)}) {
        QWidget panel;
        panel.resize(size);
        const std::string document = platform::runtimeFolder() + "/bench.zvm";
        strand32::Map map(document, &panel, {2, 2, size.width() - 2, size.height() - 2}, kKeys);
        LayerDescriptor world;
        strand32::buildLayerDescriptor(data + "/world.tab", world);
        const std::optional<int> layer = map.addLayer(world, "Search Area");
        if (!layer) {
            std::fprintf(stderr, "cannot draw %s\n", world.fileName);
            return 1;
        }
        map.setLayerVisible(*layer, true);
        const double scale = map.view().scale();
        // grab() paints the panel and the map in it, as a screen update does.
        const auto redrawn = [&] {
            map.redraw();
            panel.grab();
        };
        const double redraw = timed(runs, [&](int) { redrawn(); });
        // A repaint with no change of the map, as under a dragged outline.
        const double repaint = timed(runs, [&](int) { panel.grab(); });
        const double zoom = timed(runs, [&](int i) {
            map.setViewScale(i % 2 ? scale : scale * 0.5);
            redrawn();
        });
        std::printf("%dx%d: redraw %.2f ms, repaint %.2f ms, zoom step %.2f ms (%d runs)\n",
                    size.width(), size.height(), redraw, repaint, zoom, runs);

        map.setViewCenter({14, 52});
        map.setViewScale(60);
        const double europe = timed(runs, [&](int) { redrawn(); });
        QElapsedTimer clock;
        clock.start();
        map.setFootprints(footprints);
        const double load = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const double europe10k = timed(runs, [&](int) { redrawn(); });
        map.setViewCenter({0, 0});
        map.setViewScale(scale);
        const double world10k = timed(runs, [&](int) { redrawn(); });
        map.setViewCenter({14, 52});
        map.setViewScale(60);
        const double select = timed(runs, [&](int i) {
            map.selectFootprints({static_cast<std::uint64_t>(i), 7, 4242});
            redrawn();
        });
        std::size_t found = 0;
        const double pick = timed(runs, [&](int i) {
            found += map.footprintsAt({size.width() / 2.0 + i % 7, size.height() / 2.0}).size();
        });
        std::printf("%dx%d, %d footprints: set %.2f ms, redraw world %.2f ms, redraw Europe "
                    "%.2f ms (%.2f ms without them), select and redraw %.2f ms, pick %.3f ms "
                    "(%.1f found)\n",
                    size.width(), size.height(), kFootprints, load, world10k, europe10k, europe,
                    select, pick, static_cast<double>(found) / runs);
        std::remove(document.c_str());
    }
    return 0;
}
