#include "MainDialog.h"
#include "window_texts.h"

#include "DateUtil.h"
#include "finder/criteria_form.h"
#include "finder/program_startup.h"
#include "finder/search_status.h"
#include "map/results_map.h"
#include "map/selection_map.h"
#include "map/window_layout.h"
#include "pages/area_page.h"
#include "pages/coordsys_page.h"
#include "pages/criteria_pages.h"
#include "pages/date_page.h"
#include "pages/name_location_page.h"
#include "resources/globe_animation.h"
#include "results/result_list.h"

#include <platform/message_box.h>
#include <platform/paths.h>
#include <sorrel32/about.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <algorithm>
#include <cstdlib>

namespace finder {
namespace {

constexpr int kPickedFolderLimit = 259;

QString qText(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

TFindMainDlg::TFindMainDlg(QWidget* parent)
    : QMainWindow(parent), settings_(loadStartupSettings()),
      search_(std::make_unique<SearchController>(static_cast<SearchListener&>(*this),
                                                 eventLoopHandOff(this))) {
    search_->setDatabaseFile(settings_.databaseFile);
    footprintCacheStored_ = loadFootprintCacheSetting();
    search_->setFootprintCache(footprintCacheStored_);
    // The map draws the footprint of every file of a layer type found.
    search_->setFactsWanted(FactsWanted::All);
    buildControls();
    buildMenus();

    // Compact size: the pages and the buttons with a ninth to spare, the
    // height of the pages and room for the menu. The pages are as wide as
    // designed, or wider when the page captions need it in the current font.
    const int pagesWidth =
        std::max(Design::kFilterPages.width(), pages_->tabBar()->sizeHint().width() + 8);
    const int width = (pagesWidth + Design::kButtonWidth) * 10 / 9;
    compactHeight_ = Design::kFilterPages.height() + 65;
    resize(width, compactHeight_);

    pages_->area()->ShowCornerEdits(false);
    pages_->date()->setDefaults(DateUtil::todayUtc());
    helpFile_ = qText(platform::dataFolder()) + "/kestra.html";
    pages_->nameLocation()->fillNamed(settings_.namedEntries);
    setWindowTitle(qText(kAppTitle));
    pages_->coordSys()->FillSystemGroups(settings_.databaseFile);
    CreateSelectionMap();

    // Tooltips are off for the whole application; F1 is seen from every control.
    qApp->installEventFilter(this);

    // A folder named by the environment (the sample data of a demonstration)
    // is offered and chosen as Browse would.
    if (const char* lookIn = std::getenv("KAVREL_LOOK_IN"); lookIn && *lookIn)
        pages_->nameLocation()->addLookInFolder(QString::fromLocal8Bit(lookIn));
    defaultLookInIndex_ = pages_->nameLocation()->lookInIndex();

    folderPicker_ = [](QWidget* owner, const QString& title) {
        return QFileDialog::getExistingDirectory(owner, title, qText(platform::desktopFolder()),
                                                 QFileDialog::ShowDirsOnly);
    };
    urlOpener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

TFindMainDlg::~TFindMainDlg() {
    qApp->removeEventFilter(this);
    search_.reset(); // a running search is stopped before the window goes
    // A setting that cannot be kept is said, not dropped unseen.
    std::string problem = saveOptions(settings_.options);
    if (problem.empty() && useFootprintCache_->isChecked() != footprintCacheStored_)
        problem = saveFootprintCacheSetting(useFootprintCache_->isChecked());
    if (!problem.empty())
        platform::messageBox(nullptr, problem, std::string(kAppTitle),
                             platform::MB_OK | platform::MB_ICONWARNING);
}

void TFindMainDlg::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    const int year = DateUtil::currentUtcYear();
    pages_ = new CriteriaPages(monthsLimit(year), daysLimit(year), central);
    pages_->setGeometry(Design::kFilterPages);

    const auto button = [central](const char* name, const QString& caption, int top) {
        auto* b = new QPushButton(caption, central);
        b->setObjectName(name);
        b->setGeometry(0, top, Design::kButtonWidth, Design::kButtonHeight);
        return b;
    };
    findNow_ = button("FindNowButton", tr("F&ind Now"), Design::kFindNowTop);
    stop_ = button("StopButton", tr("Sto&p"), Design::kStopTop);
    newSearch_ = button("NewSearchButton", tr("Ne&w Search"), Design::kNewSearchTop);
    findNow_->setDefault(true);
    stop_->setEnabled(false);
    connect(findNow_, &QPushButton::clicked, this, &TFindMainDlg::FindNowButtonClick);
    connect(stop_, &QPushButton::clicked, this, &TFindMainDlg::StopButtonClick);
    connect(newSearch_, &QPushButton::clicked, this, &TFindMainDlg::NewSearchButtonClick);
    connect(pages_->nameLocation()->browseButton(), &QPushButton::clicked, this,
            &TFindMainDlg::BrowseButtonClick);
    // Find Now is the default button: Return starts a search from any control.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this] {
            if (findNow_->isEnabled())
                findNow_->click();
        });

    selectionMap_ = new SelectionMap(pages_->area());
    connect(pages_, &CriteriaPages::geographicAreaShown, this, [this] {
        if (selectionMap_->map() == nullptr)
            CreateSelectionMap();
    });

    globe_ = new GlobeAnimation(central, Design::kGlobeTop, Design::kGlobeSize);
    connect(globe_, &GlobeAnimation::ticked, this, &TFindMainDlg::Timer1Timer);

    results_ = new ResultList(central);
    results_->hide();
    resultsMap_ = new ResultsMap(selectionMap_, results_, this);
    resultsMap_->setUseFootprintCache(footprintCacheStored_);
    statusBar()->setObjectName("StatusBar");
    statusBar()->setSizeGripEnabled(true);
    statusBar()->hide();
}

// The world map comes with the program's data; its temporary document goes
// to the process's own runtime folder, as the program's folder is not ours
// to write.
bool TFindMainDlg::CreateSelectionMap() {
    return selectionMap_->CreateSelectionMap(settings_.databaseFile,
                                             platform::dataFolder() + "/world.tab",
                                             platform::runtimeFolder() + "/~Ridizeda");
}

void TFindMainDlg::ResetSearchForm() {
    pages_->reset(defaultLookInIndex_, DateUtil::todayUtc());
    selectionMap_->resetView();
}

void TFindMainDlg::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* saveSearch = file->addAction(tr("S&ave Search"));
    saveSearch->setObjectName("SaveSearch1");
    connect(saveSearch, &QAction::triggered, this, &TFindMainDlg::SaveSearch1Click);
    buildExportMenu(file);
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"));
    exit->setObjectName("Close1");
    connect(exit, &QAction::triggered, this, &TFindMainDlg::Close1Click);

    buildResultMenus();

    QMenu* options = menuBar()->addMenu(tr("&Options"));
    saveResults_ = options->addAction(tr("Sa&ve Results"));
    saveResults_->setObjectName("SaveResults1");
    saveResults_->setCheckable(true);
    connect(saveResults_, &QAction::triggered, this, &TFindMainDlg::SaveResults1Click);
    useFootprintCache_ = options->addAction(tr("Use Footprint Cache"));
    useFootprintCache_->setObjectName("UseFootprintCache1");
    useFootprintCache_->setCheckable(true);
    useFootprintCache_->setChecked(footprintCacheStored_);
    connect(useFootprintCache_, &QAction::triggered, this, &TFindMainDlg::UseFootprintCache1Click);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* contents = help->addAction(tr("&Help Contents"));
    contents->setObjectName("Contents1");
    connect(contents, &QAction::triggered, this, &TFindMainDlg::Contents1Click);
    QAction* about = help->addAction(tr("&About Atlion Find"));
    about->setObjectName("About1");
    connect(about, &QAction::triggered, this, &TFindMainDlg::About1Click);
}

void TFindMainDlg::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The window becomes the application's active window once, when it is
    // first shown: later activations come from other applications.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TFindMainDlg::FormActivate() {
    pages_->setCurrentIndex(CriteriaPages::NameLocation);
    pages_->nameLocation()->focusNamed();
    defaultLookInIndex_ = pages_->nameLocation()->lookInIndex();
    saveResults_->setChecked((settings_.options & SaveResultsOption) != 0);
    if (!savedSearchPath_.empty())
        LoadSavedSearch(savedSearchPath_);
}

void TFindMainDlg::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layOutWindow(this, centralWidget());
    // The map follows its panel also while its page is not shown.
    if (selectionMap_)
        selectionMap_->followPanel();
}

bool TFindMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip)
        return true;
    if (event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        Contents1Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFindMainDlg::BrowseButtonClick() {
    if (!folderPicker_)
        return;
    const QString chosen = folderPicker_(this, qText(kBrowseTitle));
    if (chosen.isEmpty())
        return;
    pages_->nameLocation()->addLookInFolder(chosen.left(kPickedFolderLimit));
}

void TFindMainDlg::Close1Click() {
    close();
}

void TFindMainDlg::Contents1Click() {
    if (urlOpener_)
        urlOpener_(QUrl::fromLocalFile(helpFile_));
}

void TFindMainDlg::About1Click() {
    KVRDialogAbout(kAppTitle.data(), kAppVersion.data());
}

// Takes effect with the next Find Now; kept in its own value at shut-down.
void TFindMainDlg::UseFootprintCache1Click() {
    search_->setFootprintCache(useFootprintCache_->isChecked());
    resultsMap_->setUseFootprintCache(useFootprintCache_->isChecked());
}

void TFindMainDlg::SaveResults1Click() {
    if (saveResults_->isChecked())
        settings_.options |= SaveResultsOption;
    else
        settings_.options = 0;
}

} // namespace finder
