// The search run of the main window: Find Now, Stop, New Search, the rows
// handed over by the search controller, the status line and the turning globe.
#include "MainDialog.h"
#include "window_texts.h"

#include "DateUtil.h"
#include "finder/coords/coordsys_pickers.h"
#include "finder/criteria_form.h"
#include "finder/display_text.h"
#include "finder/search_status.h"
#include "map/results_map.h"
#include "pages/criteria_pages.h"
#include "pages/date_page.h"
#include "pages/name_location_page.h"
#include "resources/globe_animation.h"
#include "results/result_list.h"

#include <platform/message_box.h>

#include <QPushButton>
#include <QStatusBar>

namespace finder {
int TFindMainDlg::globeIndex() const {
    return globe_->index();
}

void TFindMainDlg::FindNowButtonClick() {
    if (searchRunning())
        return;
    const auto focusNamedOnItsPage = [this] {
        if (pages_->currentIndex() == CriteriaPages::NameLocation)
            pages_->nameLocation()->focusNamed();
    };
    if (pages_->nameLocation()->namedText().isEmpty()) {
        focusNamedOnItsPage();
        return;
    }
    const BuiltCriteria built = buildCriteria(pages_->form(), lastCriteria(), DateUtil::todayUtc());
    if (built.betweenChosen)
        pages_->date()->chooseBetween();
    if (search_->start(built.criteria) == SearchController::StartResult::DatabaseUnavailable) {
        platform::messageBox(nullptr, std::string(kOpenDatabaseErrorText),
                             std::string(kOpenDatabaseErrorCaption),
                             platform::MB_OK | platform::MB_ICONERROR);
        focusNamedOnItsPage();
        return;
    }
    stop_->setEnabled(true);
    results_->clearRows();
    resultsMap_->clear();
    if (resultsHidden_)
        showResults(true);
    setSearching(true);
    setStatus(searchingText(built.criteria.startFolder));
}

void TFindMainDlg::StopButtonClick() {
    search_->stop();
    pages_->setEnabled(true);
}

void TFindMainDlg::NewSearchButtonClick() {
    if (searchRunning())
        return;
    if (platform::messageBox(this, std::string(kClearSearchQuestion), std::string(kAppTitle),
                             platform::MB_OKCANCEL | platform::MB_ICONQUESTION) ==
        platform::IDCANCEL)
        return;
    stop_->setEnabled(false);
    setStatus({});
    if (!resultsHidden_)
        showResults(false);
    ResetSearchForm();
    results_->clearRows();
    resultsMap_->clear();
    globe_->rewind();
}

// The results list and status line appear with a window 5/3 as high, and go
// with the compact height.
void TFindMainDlg::showResults(bool show) {
    results_->setVisible(show);
    statusBar()->setVisible(show);
    resize(width(), show ? static_cast<int>(height() * (5.0 / 3.0)) : compactHeight_);
    resultsHidden_ = !show;
}

void TFindMainDlg::setSearching(bool searching) {
    findNow_->setEnabled(!searching);
    newSearch_->setEnabled(!searching);
    pages_->setEnabled(!searching);
}

void TFindMainDlg::setStatus(const std::string& text) {
    statusBar()->showMessage(displayText(text));
}

void TFindMainDlg::searchStarted() {
    globe_->start();
}

void TFindMainDlg::statusChanged(const std::string& text) {
    setStatus(text);
}

void TFindMainDlg::rowsFound(const std::vector<FoundRow>& rows) {
    results_->appendRows(rows);
    resultsMap_->rowsAppended(static_cast<int>(rows.size()));
}

// Rows from the catalogue fill the list at once; the walk then puts each
// as the disk has it, or takes it away.
void TFindMainDlg::rowsRecalled(const std::vector<FoundRow>& rows) {
    results_->appendRows(rows);
    resultsMap_->rowsAppended(static_cast<int>(rows.size()));
}

void TFindMainDlg::rowsConfirmed(const std::vector<FoundRow>& rows) {
    results_->replaceRows(rows);
    resultsMap_->rowsChanged();
}

void TFindMainDlg::rowsGone(const std::vector<std::string>& paths) {
    results_->removeRows(paths);
    resultsMap_->rowsChanged();
}

void TFindMainDlg::searchFinished(const SearchOutcome& outcome) {
    globe_->stop();
    resultsMap_->rowsComplete(coverageAreaOf(lastCriteria()));
    results_->selectFirstRow();
    // Of the walk's problems a tree too deep is shown, and a search that
    // failed (the status line keeps the reason); the others end the search
    // quietly with the count of rows.
    if (outcome.walk.kind == WalkResult::Kind::TooDeep)
        platform::messageBox(this, outcome.problem, std::string(kAppTitle),
                             platform::MB_OK | platform::MB_ICONWARNING);
    else if (outcome.failed())
        platform::messageBox(this, outcome.problem, std::string(kAppTitle),
                             platform::MB_OK | platform::MB_ICONERROR);
    stop_->setEnabled(false);
    setSearching(false);
    setStatus(outcome.failed() ? outcome.problem
                               : filesFoundText(static_cast<std::uint64_t>(results_->rowCount())));
}

void TFindMainDlg::Timer1Timer() {
    globe_->advance();
}

} // namespace finder
