// Saved searches of the main window: File > Save Search writes the criteria,
// the map's view and optionally the rows to a file with a desktop shortcut;
// a file named on the command line is loaded back when the window opens.
#include "MainDialog.h"
#include "window_texts.h"

#include "DateUtil.h"
#include "finder/criteria_form.h"
#include "finder/desktop_shortcut.h"
#include "finder/saved_search.h"
#include "finder/saved_search_form.h"
#include "finder/search_status.h"
#include "map/results_map.h"
#include "map/selection_map.h"
#include "pages/criteria_pages.h"
#include "pages/name_location_page.h"
#include "pages/saved_state.h"
#include "results/result_list.h"

#include <platform/message_box.h>

#include <QAction>

namespace finder {

SavedSearch TFindMainDlg::savedSearch() const {
    SavedSearch saved;
    SavedSearchHeader& header = saved.header;
    pages_->saveState(header);
    header.saveResults = saveResults_->isChecked();
    header.rowCount = results_->rowCount();
    header.zoomCenterX = selectionMap_->zoomCenter().x;
    header.zoomCenterY = selectionMap_->zoomCenter().y;
    header.zoomScale = selectionMap_->zoomScale();
    if (header.saveResults)
        for (int row = 0; row < results_->rowCount(); ++row)
            saved.rows.push_back(results_->texts(row));
    return saved;
}

void TFindMainDlg::SaveSearch1Click() {
    const QString named = pages_->nameLocation()->namedText();
    if (named.isEmpty())
        return;
    if (platform::messageBox(this, std::string(kSaveSearchQuestion), std::string(kAppTitle),
                             platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    const std::string folder = savedSearchFolder();
    if (folder.empty())
        return;
    const std::string name = savedSearchFileName(localBytes(named), folderFileNames(folder));
    const std::string path = folder + "/" + name;
    if (writeSavedSearch(path))
        makeDesktopShortcut(name, path);
}

// The file is whole or absent: every failure, creating or writing, is the
// same box with the system's text.
bool TFindMainDlg::writeSavedSearch(const std::string& path) {
    const SavedSearchFileResult written = writeSavedSearchFile(path, savedSearch());
    if (!written.ok)
        platform::messageBox(nullptr, written.errorText, std::string(kCreateFileErrorCaption),
                             platform::MB_OK | platform::MB_ICONINFORMATION);
    return written.ok;
}

bool TFindMainDlg::LoadSavedSearch(const std::string& path) {
    const std::optional<SavedSearch> saved = readSavedSearchFile(path);
    if (!saved)
        return false;
    const SavedSearchHeader& header = saved->header;
    loadingSavedSearch_ = true;
    pages_->loadState(header);
    const bool mapView = header.zoomScale != 0;
    if (mapView)
        selectionMap_->setZoom({header.zoomCenterX, header.zoomCenterY}, header.zoomScale);
    saveResults_->setChecked(header.saveResults);
    if (header.saveResults) {
        // The list grows the window once, when it comes into view.
        if (resultsHidden_)
            showResults(true);
        results_->clearRows();
        resultsMap_->clear();
        results_->appendTextRows(saved->rows);
        // Their footprints need their files read (once, off this thread);
        // the coverage is of the area the search stored.
        resultsMap_->rowsAppended(static_cast<int>(saved->rows.size()));
        resultsMap_->rowsComplete(coverageAreaOf(
            buildCriteria(pages_->form(), lastCriteria(), DateUtil::todayUtc()).criteria));
    }
    setStatus(filesFoundText(static_cast<std::uint64_t>(shownRowCount(*saved))));
    if (mapView) {
        if (selectionMap_->map() == nullptr)
            CreateSelectionMap();
        selectionMap_->showZoomedView();
    }
    loadingSavedSearch_ = false;
    return true;
}

} // namespace finder
