// The found rows on the selection map: footprints as the worker makes them,
// the selection kept in step with the list, clicks and tooltips on the
// panel, the two figures in the map's lower left corner.
#include "results_map.h"

#include "selection_map.h"

#include "finder/display_text.h"
#include "finder/export/coverage_export.h"
#include "results/result_list.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <iterator>

namespace finder {
namespace {

constexpr int kLabelGap = 3; // pixels between the labels and the map's edge

QLabel* figureLabel(const char* name, QWidget* panel) {
    auto* label = new QLabel(panel);
    label->setObjectName(name);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setStyleSheet("background: rgba(255, 255, 255, 200); padding: 0px 3px;");
    label->hide();
    return label;
}

MaporaExtent unite(const MaporaExtent& a, const MaporaExtent& b) {
    return {std::min(a.west, b.west), std::max(a.north, b.north), std::max(a.east, b.east),
            std::min(a.south, b.south)};
}

} // namespace

QString onMapText(int drawn, int rows) {
    return QStringLiteral("%1 of %2 files on the map").arg(drawn).arg(rows);
}

std::optional<MaporaExtent> coverageAreaOf(const SearchCriteria& criteria) {
    if (!criteria.has(CriteriaFlags::Area) || !criteria.areaInDegrees)
        return std::nullopt;
    const AreaRect& a = criteria.area;
    return MaporaExtent{a.x1, a.y1, a.x2, a.y2};
}

ResultsMap::ResultsMap(SelectionMap* selectionMap, ResultList* results, QObject* parent)
    : QObject(parent), selectionMap_(selectionMap), results_(results),
      countLabel_(figureLabel("FootprintCount", selectionMap->panel())),
      coverageLabel_(figureLabel("AreaCovered", selectionMap->panel())),
      worker_(this,
              {[this](std::vector<RowFootprint> f) { placed(std::move(f)); },
               [this](std::vector<FootprintWorker::IdFacts> facts) { results_->setFacts(facts); },
               [this](std::optional<Coverage> c) { covered(std::move(c)); }}),
      drawTimer_(new QTimer(this)), redrawTimer_(new QTimer(this)) {
    redrawTimer_->setSingleShot(true);
    redrawTimer_->setInterval(kRedrawPause);
    connect(redrawTimer_, &QTimer::timeout, this, &ResultsMap::drawListAgain);
    drawTimer_->setSingleShot(true);
    drawTimer_->setInterval(kDrawInterval);
    connect(drawTimer_, &QTimer::timeout, this, &ResultsMap::drawArrived);
    selectionMap_->panel()->installEventFilter(this);
    connect(results_, &ResultList::selectionChanged, this, &ResultsMap::selectionChanged);
    connect(selectionMap_, &SelectionMap::mapCreated, this, &ResultsMap::mapCreated);
}

ResultsMap::~ResultsMap() = default;

void ResultsMap::clear() {
    worker_.restart();
    rowCount_ = awaiting_ = 0;
    coverPending_ = false;
    area_.reset();
    names_.clear();
    footprints_.clear();
    undrawn_.clear();
    drawTimer_->stop();
    redrawTimer_->stop();
    bounds_.clear();
    gaps_.clear();
    share_.reset();
    selected_.clear();
    if (strand32::Map* map = selectionMap_->map())
        map->clearFootprints();
    updateLabels();
}

void ResultsMap::rowsAppended(int count) {
    const int total = results_->rowCount();
    std::vector<FootprintWorker::IdFacts> known;
    std::vector<std::pair<std::uint64_t, std::string>> unread;
    for (int row = std::max(0, total - count); row < total; ++row) {
        ExportRow r = results_->exportRow(row);
        const std::uint64_t id = results_->rowId(row);
        names_.emplace(id, displayText(r.texts.name));
        // Rows kept as texts carry neither facts nor a size from a search.
        if (!r.facts && !r.size)
            unread.emplace_back(id, std::move(r.path));
        else
            known.emplace_back(id, std::move(r.facts));
    }
    rowCount_ += static_cast<int>(known.size() + unread.size());
    awaiting_ += static_cast<int>(known.size() + unread.size());
    if (!known.empty())
        worker_.place(std::move(known));
    if (!unread.empty())
        worker_.readAndPlace(std::move(unread), useCache_);
    updateLabels();
}

void ResultsMap::rowsChanged() {
    redrawTimer_->start();
}

void ResultsMap::drawListAgain() {
    const std::optional<MaporaExtent> area = area_;
    clear();
    rowsAppended(results_->rowCount());
    if (area)
        rowsComplete(area);
    selectionChanged();
}

void ResultsMap::rowsComplete(std::optional<MaporaExtent> area) {
    area_ = area;
    if (!area)
        return;
    coverPending_ = true;
    worker_.cover(*area);
}

void ResultsMap::placed(std::vector<RowFootprint> placedRows) {
    awaiting_ -= static_cast<int>(placedRows.size());
    std::vector<strand32::MapFootprint> added;
    for (RowFootprint& row : placedRows) {
        if (row.rings.empty())
            continue;
        bounds_.emplace(row.id, row.bounds);
        added.push_back({row.id, std::move(row.rings), selected_.count(row.id) != 0});
    }
    footprints_.insert(footprints_.end(), added.begin(), added.end());
    undrawn_.insert(undrawn_.end(), std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
    if (!undrawn_.empty() && !drawTimer_->isActive())
        drawTimer_->start();
    updateLabels();
}

void ResultsMap::drawArrived() {
    if (strand32::Map* map = selectionMap_->map())
        map->addFootprints(std::move(undrawn_));
    undrawn_.clear();
}

void ResultsMap::covered(std::optional<Coverage> coverage) {
    coverPending_ = false;
    share_.reset();
    gaps_.clear();
    if (coverage) {
        share_ = coverage->share;
        gaps_ = std::move(coverage->gaps);
    }
    if (strand32::Map* map = selectionMap_->map())
        map->setGaps(gaps_);
    updateLabels();
}

// A map made after rows came draws what they gave.
void ResultsMap::mapCreated() {
    strand32::Map* map = selectionMap_->map();
    undrawn_.clear();
    map->setFootprints(footprints_);
    map->selectFootprints({selected_.begin(), selected_.end()});
    map->setGaps(gaps_);
    updateLabels();
}

void ResultsMap::selectionChanged() {
    const std::vector<std::uint64_t> ids = results_->selectedIds();
    selected_ = {ids.begin(), ids.end()};
    for (auto* list : {&footprints_, &undrawn_})
        for (strand32::MapFootprint& footprint : *list)
            footprint.selected = selected_.count(footprint.id) != 0;
    if (strand32::Map* map = selectionMap_->map())
        map->selectFootprints(ids);
}

bool ResultsMap::selectionOnMap() const {
    return std::any_of(selected_.begin(), selected_.end(),
                       [this](std::uint64_t id) { return bounds_.count(id) != 0; });
}

bool ResultsMap::zoomToSelection() {
    std::optional<MaporaExtent> area;
    for (std::uint64_t id : selected_)
        if (const auto it = bounds_.find(id); it != bounds_.end())
            area = area ? unite(*area, it->second) : it->second;
    if (!area)
        return false;
    selectionMap_->zoomOnto(*area);
    return true;
}

std::vector<std::uint64_t> ResultsMap::idsAt(QPoint pixel) const {
    const strand32::Map* map = selectionMap_->map();
    if (map == nullptr)
        return {};
    return map->footprintsAt({static_cast<double>(pixel.x()), static_cast<double>(pixel.y())});
}

QString ResultsMap::tipAt(QPoint pixel) const {
    const std::vector<std::uint64_t> ids = idsAt(pixel);
    QStringList names;
    for (std::uint64_t id : ids) {
        if (names.size() == kTipNames) {
            names << tr("and %1 more").arg(ids.size() - kTipNames);
            break;
        }
        if (const auto it = names_.find(id); it != names_.end())
            names << it->second;
    }
    return names.join('\n');
}

void ResultsMap::showTip(QPoint pixel) {
    QWidget* panel = selectionMap_->panel();
    const QString tip = tipAt(pixel);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(panel->mapToGlobal(pixel), tip, panel);
}

// A press and release on one spot over footprints: their rows are selected
// (or, with `toggle`, added or removed) and the corners the press wrote are
// put back.
bool ResultsMap::clicked(QPoint release, bool toggle) {
    if ((release - pressPixel_).manhattanLength() > kClickSlop)
        return false;
    const std::vector<std::uint64_t> ids = idsAt(pressPixel_);
    if (ids.empty())
        return false;
    selectionMap_->cancelDrag(pressCorners_);
    results_->selectIds(ids, toggle);
    return true;
}

bool ResultsMap::eventFilter(QObject* watched, QEvent* event) {
    if (watched != selectionMap_->panel() || selectionMap_->map() == nullptr)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // Before the selection map writes the press into the corners.
            pressed_ = true;
            pressPixel_ = mouse->position().toPoint();
            pressCorners_ = selectionMap_->cornerTexts();
            QToolTip::hideText();
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() == Qt::NoButton)
            showTip(mouse->position().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !pressed_)
            break;
        pressed_ = false;
        if (clicked(mouse->position().toPoint(), (mouse->modifiers() & Qt::ControlModifier) != 0))
            return true; // no zoom onto a click
        break;
    }
    case QEvent::Leave:
        QToolTip::hideText();
        break;
    case QEvent::Resize:
        updateLabels();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// Stacked in the lower left corner of the map, above everything on it.
void ResultsMap::updateLabels() {
    countLabel_->setVisible(rowCount_ > 0);
    countLabel_->setText(onMapText(drawnCount(), rowCount_));
    coverageLabel_->setVisible(share_.has_value());
    if (share_)
        coverageLabel_->setText(QString::fromStdString(areaCoveredText(*share_)));
    const QRect map = selectionMap_->mapRect();
    int bottom = map.bottom() - kLabelGap;
    for (QLabel* label : {countLabel_, coverageLabel_}) {
        if (label->isHidden())
            continue;
        label->adjustSize();
        label->move(map.left() + kLabelGap, bottom - label->height() + 1);
        label->raise();
        bottom -= label->height();
    }
}

} // namespace finder
