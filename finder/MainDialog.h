#pragma once
// The finder's one window: the criteria pages, the Find Now / Stop / New
// Search buttons with the turning globe, the results list and status line.
// Handlers read the controls, call the core and write the controls back.
#include "finder/search_criteria.h"
#include <quill32/datora.h>

#include <QMainWindow>
#include <QPixmap>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QPushButton;
class QTimer;

namespace finder {

class CriteriaPages;
class ResultList;
class SearchWorker;
struct FoundFile;

class TFindMainDlg : public QMainWindow {
    Q_OBJECT
public:
    explicit TFindMainDlg(std::string savedSearchPath = {}, QWidget* parent = nullptr);
    ~TFindMainDlg() override;

    // How Browse asks for a folder (empty: cancelled), and how the manual is
    // opened; both replaceable so the window can be driven without dialogs.
    using FolderPicker = std::function<QString(QWidget* owner, const QString& title)>;
    using UrlOpener = std::function<bool(const QUrl& url)>;
    void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    void setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

    std::uint32_t options() const { return options_; }
    const std::string& databaseFile() const { return databaseFile_; }
    const std::string& installFolder() const { return installFolder_; }
    const std::string& savedSearchPath() const { return savedSearchPath_; }
    QString helpFile() const { return helpFile_; }
    int compactHeight() const { return compactHeight_; }
    bool resultsHidden() const { return resultsHidden_; }
    bool searchRunning() const;
    int globeIndex() const { return globeIndex_; }
    const SearchCriteria& lastCriteria() const { return criteria_; }
    // The coordinate-system database while a fill or a search holds it, else 0.
    DatoraDatabase databaseHandle() const { return databaseHandle_; }
    // Levels of subfolders a search descends before it gives up.
    void setDepthLimit(int levels);

    void FindNowButtonClick();
    void StopButtonClick();
    void NewSearchButtonClick();
    void BrowseButtonClick();
    void Close1Click();
    void Contents1Click();
    void About1Click();
    void SaveResults1Click();
    void Timer1Timer();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void createWorker();
    void readSettings();
    void FormActivate();
    void shutDown();

    // Search run, on the window's thread.
    bool openDatabase();
    void searchStarted();
    void folderEntered(const std::string& folder);
    void addFoundFile(const FoundFile& file);
    void searchFinished(std::uint32_t walkResult);
    void setSearching(bool searching);
    void showGlobeFrame(int index);
    void setStatus(const std::string& text);

    std::string savedSearchPath_;
    std::string databaseFile_;
    std::string installFolder_;
    std::uint32_t options_ = 0;
    QString helpFile_;
    int compactHeight_ = 0;
    bool resultsHidden_ = true;
    bool activated_ = false;
    int defaultLookInIndex_ = 0;
    int monthsLimit_ = 0;
    int daysLimit_ = 0;
    std::uint32_t mapHandle_ = 0; // the selection map, 0 until it is created
    bool mapCreated_ = false;
    std::string mapTempBase_;

    SearchCriteria criteria_; // of the last Find Now
    // One handle serves the pickers' fills and the running search.
    DatoraDatabase databaseHandle_ = 0;
    std::unique_ptr<SearchWorker> worker_;

    QWidget* central_ = nullptr;
    CriteriaPages* pages_ = nullptr;
    QPushButton* findNow_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* newSearch_ = nullptr;
    std::vector<QLabel*> globe_;
    int globeIndex_ = 0;
    QTimer* timer1_ = nullptr;
    ResultList* results_ = nullptr;
    QAction* saveResults_ = nullptr;

    FolderPicker folderPicker_;
    UrlOpener urlOpener_;
};

} // namespace finder
