// Times the found rows on the finder window's map: 10,000 rows with facts
// (boxes over Europe, every tenth in UTM 33N, so densified) handed to the
// list and the map in batches of 100 as a search hands them. Prints the
// window thread's time per batch, the longest the window's event loop went
// without turning meanwhile, the time until every footprint is drawn, the
// coverage of a continent-sized area, a redraw of the map at its panel's
// size, and a click that selects rows. A frame at 60 Hz is 16.7 ms.
//   kavrel-results-map-bench
#include "MainDialog.h"
#include "europe_footprints.h"
#include "finder/program_startup.h"
#include "map/results_map.h"
#include "map/selection_map.h"
#include "results/result_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 10000;
constexpr int kBatch = 100;
const char* const kUtm33 = "EPSG:32633";

// Rows whose facts give the boxes: in degrees, or in UTM 33N metres.
std::vector<finder::FoundRow> rowsOf(const std::vector<strand32::LonLatRing>& boxes) {
    std::vector<finder::FoundRow> rows;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto facts = std::make_shared<strand32::FileFacts>();
        const strand32::LonLatRing& r = boxes[i];
        double w = r[0].x, s = r[0].y, e = w, n = s;
        for (const MaporaPoint& p : r) {
            w = std::min(w, p.x), e = std::max(e, p.x);
            s = std::min(s, p.y), n = std::max(n, p.y);
        }
        facts->extent = strand32::Extent{w, n, e, s};
        if (i % 10 == 0) { // 1 degree ~ 111 km round the zone's middle
            facts->crsWkt = kUtm33;
            facts->extent = strand32::Extent{500000 + (w - 15) * 70000, n * 111000,
                                             500000 + (e - 15) * 70000, s * 111000};
        }
        finder::FoundRow row;
        row.file.place("/data/sheets", "sheet" + std::to_string(i) + ".shp");
        row.file.size = 1000;
        row.file.facts = std::move(facts);
        rows.push_back(std::move(row));
    }
    return rows;
}

double millisecondsOf(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    finder::prepareProcess();
    QApplication app(argc, argv);
    finder::TFindMainDlg window;
    window.show();
    QCoreApplication::processEvents();
    auto* list = window.findChild<finder::ResultList*>("ResultList");
    finder::ResultsMap* onMap = window.resultsMap();
    finder::SelectionMap* selection = window.selectionMap();
    if (selection->map() == nullptr) {
        std::fprintf(stderr, "no map: the world map or the database is missing\n");
        return 1;
    }
    const std::vector<finder::FoundRow> rows = rowsOf(bench::europeFootprints(kRows));

    // The loop's longest pause, seen by a timer that wants to run every ms.
    QElapsedTimer sinceTick;
    double longestPause = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, millisecondsOf(sinceTick));
        sinceTick.restart();
    });

    QElapsedTimer total;
    total.start();
    sinceTick.start();
    ticker.start();
    double batchTime = 0, longestBatch = 0;
    for (int first = 0; first < kRows; first += kBatch) {
        QElapsedTimer batch;
        batch.start();
        const std::vector<finder::FoundRow> part(rows.begin() + first,
                                                 rows.begin() + first + kBatch);
        list->appendRows(part);
        onMap->rowsAppended(kBatch);
        const double spent = millisecondsOf(batch);
        batchTime += spent;
        longestBatch = std::max(longestBatch, spent);
        QCoreApplication::processEvents();
    }
    onMap->rowsComplete(MaporaExtent{-10, 70, 40, 35});
    while (!onMap->settled())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ticker.stop();
    const double settled = millisecondsOf(total);

    auto* panel = window.findChild<QFrame*>("SelectionMap");
    selection->zoomOnto({-10, 70, 40, 35});
    const int runs = 100;
    QElapsedTimer redraw;
    redraw.start();
    for (int i = 0; i < runs; ++i) {
        selection->map()->redraw();
        panel->grab();
    }
    const double redrawTime = millisecondsOf(redraw) / runs;
    QElapsedTimer select;
    select.start();
    for (int i = 0; i < runs; ++i) {
        list->selectIds({list->rowId(i), list->rowId(i + 1)}, false);
        panel->grab();
    }
    const double selectTime = millisecondsOf(select) / runs;

    std::printf("%d rows in batches of %d: window thread %.2f ms per batch (longest %.2f ms), "
                "longest pause of the event loop %.1f ms, all drawn and %s after %.0f ms\n",
                kRows, kBatch, batchTime / (kRows / kBatch), longestBatch, longestPause,
                onMap->coveredShare() ? "the coverage computed" : "no coverage", settled);
    std::printf("map panel %dx%d with %d footprints: redraw %.2f ms, select two rows and redraw "
                "%.2f ms\n",
                panel->width(), panel->height(), onMap->drawnCount(), redrawTime, selectTime);
    return 0;
}
