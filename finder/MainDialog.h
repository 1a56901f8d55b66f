#pragma once
// The finder's one window: the criteria pages, the Find Now / Stop / New
// Search buttons with the turning globe, the results list and status line.
// Handlers read the controls, call the core and write the controls back; the
// search itself is the core's SearchController.
#include "finder/saved_search.h"
#include "finder/search_controller.h"
#include "finder/startup_settings.h"

#include <QMainWindow>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;

namespace finder {

class CriteriaPages;
class GlobeAnimation;
class ResultList;
class ResultsMap;
class SelectionMap;

class TFindMainDlg : public QMainWindow, private SearchListener {
    Q_OBJECT
public:
    explicit TFindMainDlg(QWidget* parent = nullptr);
    ~TFindMainDlg() override;

    // How Browse asks for a folder (empty: cancelled), and how the manual is
    // opened; both replaceable so the window can be driven without dialogs.
    using FolderPicker = std::function<QString(QWidget* owner, const QString& title)>;
    using UrlOpener = std::function<bool(const QUrl& url)>;
    void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    void setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }
    // How Export Footprints asks for the file to write (empty: cancelled).
    using SaveFilePicker =
        std::function<QString(QWidget* owner, const QString& title, const QStringList& filters)>;
    void setFootprintsPicker(SaveFilePicker picker) { footprintsPicker_ = std::move(picker); }

    std::uint32_t options() const { return settings_.options; }
    const std::string& databaseFile() const { return settings_.databaseFile; }
    const std::string& installFolder() const { return settings_.installFolder; }
    QString helpFile() const { return helpFile_; }
    int compactHeight() const { return compactHeight_; }
    bool resultsHidden() const { return resultsHidden_; }
    bool searchRunning() const { return search_->running(); }
    int globeIndex() const;
    // The criteria of the last Find Now.
    const SearchCriteria& lastCriteria() const { return search_->criteria(); }
    // The coordinate-system database while a search holds it, else 0.
    DatabaseHandle databaseHandle() const { return search_->databaseHandle(); }
    // Levels of subfolders a search descends before it gives up.
    void setDepthLimit(int levels) { search_->setDepthLimit(levels); }

    // The world map of the Geographic Area page (its handle is 0 while
    // there is no map).
    SelectionMap* selectionMap() const { return selectionMap_; }
    // The found rows on that map.
    ResultsMap* resultsMap() const { return resultsMap_; }
    bool CreateSelectionMap();
    // New Search's reset: every criterion's default, then the map's first view.
    void ResetSearchForm();

    void FindNowButtonClick();
    void StopButtonClick();
    void NewSearchButtonClick();
    void BrowseButtonClick();
    void Close1Click();
    void Contents1Click();
    void About1Click();
    void SaveResults1Click();
    void UseFootprintCache1Click();
    void SaveSearch1Click();
    // Writes the window's saved search to `path`; shows the system's error
    // and returns false when that fails.
    bool writeSavedSearch(const std::string& path);
    // Puts a saved search back into the window; false when the file cannot
    // be read (nothing is shown then).
    bool LoadSavedSearch(const std::string& path);
    // The file the window loads when it opens (from the command line).
    void setSavedSearchPath(std::string path) { savedSearchPath_ = std::move(path); }
    bool loadingSavedSearch() const { return loadingSavedSearch_; }
    // Writes the footprints of the rows shown, in their order.
    void ExportFootprints1Click();
    // Writes a STAC catalog of the rows shown into the folder picked.
    void ExportStacCatalog1Click();
    void Timer1Timer();

    // The results list's commands.
    void ResultListDblClick();
    // Drags the selected rows' files out of the list; returns when the drop
    // is done or cancelled.
    void StartResultDrag();
    void SelectAll1Click();
    void InvertSelection1Click();
    void setViewStyle(int style); // a ResultList::ViewStyle
    void arrangeBy(int column);   // as a click on the column's header
    // The popup's "Show on Map": the Geographic Area page with its map,
    // zoomed onto the selected rows' footprints.
    void ShowOnMap1Click();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildResultMenus();
    void buildExportMenu(QMenu* file);
    void FormActivate();

    // The running search, heard on the window's thread.
    void searchStarted() override;
    void statusChanged(const std::string& text) override;
    void rowsFound(const std::vector<FoundRow>& rows) override;
    void rowsRecalled(const std::vector<FoundRow>& rows) override;
    bool showsRecalledRows() const override { return true; }
    void rowsConfirmed(const std::vector<FoundRow>& rows) override;
    void rowsGone(const std::vector<std::string>& paths) override;
    void searchFinished(const SearchOutcome& outcome) override;
    void setSearching(bool searching);
    void showResults(bool show);
    void setStatus(const std::string& text);
    // The whole state a saved search keeps.
    SavedSearch savedSearch() const;
    // The selected rows' texts, in list order.
    std::vector<RowTexts> selectedRowTexts() const;

    StartupSettings settings_; // database file, Options, install folder
    QString helpFile_;
    int compactHeight_ = 0;
    bool resultsHidden_ = true;
    bool activated_ = false;
    std::string savedSearchPath_;
    bool loadingSavedSearch_ = false;
    int defaultLookInIndex_ = 0;

    CriteriaPages* pages_ = nullptr;
    QPushButton* findNow_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* newSearch_ = nullptr;
    GlobeAnimation* globe_ = nullptr;
    ResultList* results_ = nullptr;
    SelectionMap* selectionMap_ = nullptr;
    ResultsMap* resultsMap_ = nullptr;
    QAction* saveResults_ = nullptr;
    QAction* useFootprintCache_ = nullptr;
    bool footprintCacheStored_ = true; // as read at start-up
    QActionGroup* viewStyles_ = nullptr;

    FolderPicker folderPicker_;
    UrlOpener urlOpener_;
    SaveFilePicker footprintsPicker_;
    // Ended first when the window goes, while every control still exists.
    std::unique_ptr<SearchController> search_;
};

} // namespace finder
