// The search run of the main window: Find Now, Stop, New Search, the rows
// handed over by the worker, the status line and the turning globe.
#include "MainDialog.h"

#include "DateUtil.h"
#include "finder/coords/coordsys_pickers.h"
#include "finder/search_run.h"
#include "finder/search_status.h"
#include "map/window_layout.h"
#include "pages/criteria_pages.h"
#include "pages/date_page.h"
#include "pages/name_location_page.h"
#include "resources/globe_frames.h"
#include "results/result_list.h"
#include "results/search_worker.h"

#include <platform/message_box.h>

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace finder {
namespace {

QString qText(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

bool TFindMainDlg::searchRunning() const {
    return worker_->running();
}

void TFindMainDlg::setDepthLimit(int levels) {
    worker_->setDepthLimit(levels);
}

void TFindMainDlg::createWorker() {
    SearchWorker::Handlers handlers;
    handlers.started = [this] { searchStarted(); };
    handlers.folderEntered = [this](const std::string& folder) { folderEntered(folder); };
    handlers.fileFound = [this](const FoundFile& file) { addFoundFile(file); };
    handlers.finished = [this](std::uint32_t result) { searchFinished(result); };
    worker_ = std::make_unique<SearchWorker>(this, std::move(handlers));
}

bool TFindMainDlg::openDatabase() {
    CloseCoordSysDatabase(databaseHandle_);
    databaseHandle_ = OpenCoordSysDatabase(databaseFile_);
    return databaseHandle_ != 0;
}

void TFindMainDlg::FindNowButtonClick() {
    if (searchRunning())
        return;
    const bool namePageActive = pages_->currentIndex() == CriteriaPages::NameLocation;
    if (pages_->nameLocation()->namedText().isEmpty() || !openDatabase()) {
        if (namePageActive)
            pages_->nameLocation()->focusNamed();
        return;
    }
    const BuiltCriteria built = buildCriteria(pages_->form(), criteria_, DateUtil::todayUtc());
    if (built.betweenChosen)
        pages_->date()->chooseBetween();
    criteria_ = built.criteria;

    stop_->setEnabled(true);
    results_->clearRows();
    if (resultsHidden_) {
        results_->show();
        statusBar()->show();
        resize(width(), static_cast<int>(height() * (5.0 / 3.0)));
        resultsHidden_ = false;
    }
    setSearching(true);
    setStatus(searchingText(criteria_.startFolder));

    worker_->start(criteria_, databaseHandle_);
}

void TFindMainDlg::StopButtonClick() {
    worker_->stop();
    pages_->setEnabled(true);
}

void TFindMainDlg::NewSearchButtonClick() {
    if (searchRunning())
        return;
    if (platform::messageBox(this, std::string(ClearSearchQuestion), std::string(AppTitle),
                             platform::MB_OKCANCEL | platform::MB_ICONQUESTION) ==
        platform::IDCANCEL)
        return;
    stop_->setEnabled(false);
    setStatus({});
    criteria_.flags = 0;
    if (!resultsHidden_) {
        results_->hide();
        statusBar()->hide();
        resize(width(), compactHeight_);
        resultsHidden_ = true;
    }
    pages_->reset(defaultLookInIndex_, DateUtil::todayUtc());
    results_->clearRows();
    showGlobeFrame(0);
}

void TFindMainDlg::setSearching(bool searching) {
    findNow_->setEnabled(!searching);
    newSearch_->setEnabled(!searching);
    pages_->setEnabled(!searching);
}

void TFindMainDlg::setStatus(const std::string& text) {
    statusBar()->showMessage(qText(text));
}

void TFindMainDlg::searchStarted() {
    timer1_->start();
}

void TFindMainDlg::folderEntered(const std::string& folder) {
    setStatus(searchingText(folder));
}

void TFindMainDlg::addFoundFile(const FoundFile& file) {
    const RowTexts texts = rowTexts(file);
    results_->appendRow(
        texts, fileTypeOf(file.fileName, fullPathOfRow(file.folder, file.fileName)).iconName);
    setStatus(searchingText(file.folder));
}

void TFindMainDlg::searchFinished(std::uint32_t walkResult) {
    timer1_->stop();
    results_->selectFirstRow();
    if (walkResult == WalkResult::StackOverflow)
        platform::messageBox(this, std::string(MaxFilesExceededText), std::string(AppTitle),
                             platform::MB_OK | platform::MB_ICONWARNING);
    CloseCoordSysDatabase(databaseHandle_);
    stop_->setEnabled(false);
    setSearching(false);
    setStatus(filesFoundText(static_cast<std::uint64_t>(results_->rowCount())));
}

void TFindMainDlg::Timer1Timer() {
    showGlobeFrame((globeIndex_ + 1) % GlobeFrameCount);
}

void TFindMainDlg::showGlobeFrame(int index) {
    globe_[static_cast<std::size_t>(globeIndex_)]->hide();
    globeIndex_ = index;
    globe_[static_cast<std::size_t>(globeIndex_)]->show();
}

} // namespace finder
