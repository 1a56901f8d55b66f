// Times the selection map: a redraw of the whole world at the panel's size
// and at a large size, a repaint without a change (the outline of a drag
// moving over the map), and one zoom step (scale change and redraw), each
// averaged over many runs. Prints milliseconds per operation; a frame at
// 60 Hz is 16.7 ms.
//   kavrel-map-bench [RUNS]
#include <platform/paths.h>
#include <strand32/layer.h>
#include <strand32/mapora_map.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const CoordSysKeys kKeys{"LAT-LONG", "LAT-LONG", "WGS84", "METERS"};

// Milliseconds per call of `step`, over `runs` calls.
template <typename Step> double timed(int runs, Step step) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runs; ++i)
        step(i);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / runs;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    QApplication app(argc, argv);
    const std::string data = platform::dataFolder();
    if (Mapora_Init((data + "/datora.dat").c_str()) != 0) {
        std::fprintf(stderr, "cannot start the map library on %s\n", data.c_str());
        return 1;
    }
    for (const QSize size : {QSize(300, 152), QSize(1200, 600)}) {
        QWidget panel;
        panel.resize(size);
        const MaporaRect rect{2, 2, size.width() - 2, size.height() - 2};
        const std::string document = platform::runtimeFolder() + "/bench.zvm";
        const MaporaMap map = Mapora_MapCreate(document.c_str(), &panel, &rect, 1, nullptr, &kKeys);
        LayerDescriptor world;
        strand32::buildLayerDescriptor(data + "/world.tab", world);
        const std::int32_t layer =
            Mapora_LayerConnect(map, world.layerType, 0, world.fileName, world.companion[0],
                                world.companion[1], world.companion[2], "Search Area", 0, &kKeys);
        if (map == 0 || layer < 0) {
            std::fprintf(stderr, "cannot draw %s\n", world.fileName);
            return 1;
        }
        Mapora_LayerSetVisible(map, layer, 1);
        double scale = 0;
        Mapora_MapGetViewScale(map, &scale);
        // grab() paints the panel and the map in it, as a screen update does.
        const double redraw = timed(runs, [&](int) {
            Mapora_MapRedraw(map, 0);
            panel.grab();
        });
        // A repaint with no change of the map, as under a dragged outline.
        const double repaint = timed(runs, [&](int) { panel.grab(); });
        const double zoom = timed(runs, [&](int i) {
            Mapora_MapSetViewScale(map, i % 2 ? scale : scale * 0.5);
            Mapora_MapRedraw(map, 0);
            panel.grab();
        });
        std::printf("%dx%d: redraw %.2f ms, repaint %.2f ms, zoom step %.2f ms (%d runs)\n",
                    size.width(), size.height(), redraw, repaint, zoom, runs);
        Mapora_MapClose(map);
        std::remove(document.c_str());
    }
    Mapora_Shutdown();
    return 0;
}
