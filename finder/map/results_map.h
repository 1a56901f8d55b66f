#pragma once
// The found rows on the Geographic Area page's map: the footprint of every
// row whose extent is known, lightly filled under the search area, added as
// rows arrive; "12 of 14 files on the map" and, when the search had an area
// in degrees, "Area covered: 87%" with the uncovered parts hatched. The
// selection goes both ways: selected rows are highlighted on the map, a
// click on footprints selects their rows (Ctrl+click adds or removes them),
// and hovering names the files. Rings, the reading of a saved search's rows
// and the coverage are made on a worker thread.
#include "footprint_worker.h"

#include "finder/search_criteria.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QLabel;
class QTimer;

namespace finder {

class ResultList;
class SelectionMap;

// "12 of 14 files on the map".
QString onMapText(int drawn, int rows);
// The area whose coverage the page shows: the search's, when it is one in
// degrees.
std::optional<MaporaExtent> coverageAreaOf(const SearchCriteria& criteria);

class ResultsMap : public QObject {
    Q_OBJECT
public:
    // Pixels a click may move between press and release and still select.
    static constexpr int kClickSlop = 2;
    // Names a tooltip lists before "and N more".
    static constexpr int kTipNames = 10;
    // Milliseconds between two drawings of footprints that arrive: each
    // draws all of them, so a search's batches are drawn together.
    static constexpr int kDrawInterval = 100;
    // How long the list must stay unchanged before the map is drawn again, ms.
    static constexpr int kRedrawPause = 250;

    ResultsMap(SelectionMap* selectionMap, ResultList* results, QObject* parent);
    ~ResultsMap() override;

    // No rows: no footprints, no coverage, and nothing more of earlier rows.
    void clear();
    // The last `count` rows of the list were just appended: their
    // footprints come from their facts; rows kept as texts (a saved
    // search's) are read first, once, through the footprint cache.
    void rowsAppended(int count);
    // Rows of the list put anew or taken away (a search answered from the
    // catalogue and confirmed by the walk): the map is drawn again from the
    // list once the changes pause.
    void rowsChanged();
    // The rows are all there (the search ended, or was stopped): the
    // coverage of `area`, when there is one, follows the last footprint.
    void rowsComplete(std::optional<MaporaExtent> area);
    void setUseFootprintCache(bool use) { useCache_ = use; }

    // Show on Map: zooms onto the selected rows' footprints; false when none
    // of them has one.
    bool zoomToSelection();
    bool selectionOnMap() const;

    int rowCount() const { return rowCount_; }
    int drawnCount() const { return static_cast<int>(footprints_.size()); }
    std::optional<double> coveredShare() const { return share_; }
    // The tooltip's text over a pixel of the panel; empty over no footprint.
    QString tipAt(QPoint pixel) const;
    // Every row has been answered and drawn, and the coverage asked for computed.
    bool settled() const { return awaiting_ == 0 && !coverPending_ && undrawn_.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placed(std::vector<RowFootprint> footprints);
    void drawArrived();
    void covered(std::optional<Coverage> coverage);
    void selectionChanged();
    void drawListAgain();
    void mapCreated();
    bool clicked(QPoint release, bool toggle);
    void showTip(QPoint pixel);
    std::vector<std::uint64_t> idsAt(QPoint pixel) const;
    void updateLabels();

    SelectionMap* selectionMap_;
    ResultList* results_;
    QLabel* countLabel_;
    QLabel* coverageLabel_;
    FootprintWorker worker_;
    bool useCache_ = true;

    int rowCount_ = 0;
    int awaiting_ = 0; // rows given to the worker and not yet answered
    bool coverPending_ = false;
    std::optional<MaporaExtent> area_;
    std::unordered_map<std::uint64_t, QString> names_;
    // What the map draws, kept for a map made later; bounds by id.
    std::vector<strand32::MapFootprint> footprints_;
    std::vector<strand32::MapFootprint> undrawn_; // arrived, drawn at the next tick
    QTimer* drawTimer_;
    QTimer* redrawTimer_;
    std::unordered_map<std::uint64_t, MaporaExtent> bounds_;
    std::vector<strand32::LonLatPolygon> gaps_;
    std::optional<double> share_;
    std::unordered_set<std::uint64_t> selected_;

    bool pressed_ = false;
    QPoint pressPixel_;
    std::array<QString, 4> pressCorners_;
};

} // namespace finder
