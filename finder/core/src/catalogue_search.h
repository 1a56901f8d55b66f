#pragma once
// The catalogue's part in one search: it answers first with what it knows
// of the start folder's tree, gives the walk the folders it knows unchanged
// (the walk lists only the others, which the recorder keeps), and tells the
// files the walk finds that it had already shown from those it had not.
// Used on the search's thread.
#include "catalogue_folders.h"
#include "catalogue_recall.h"

#include "finder/catalogue.h"
#include "finder/catalogue_recorder.h"
#include "finder/search_controller.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace finder {

class CatalogueSearch {
public:
    struct Opened {
        std::unique_ptr<CatalogueSearch> search;
        std::string problem; // why there is none
    };
    // False when the environment says KAVREL_CATALOGUE=off: the footprint
    // cache alone is used (how today's searches are timed beside it).
    static bool enabledByEnvironment();
    // The catalogue in the footprint cache's file.
    static Opened open();
    ~CatalogueSearch();

    struct Answer {
        std::vector<FoundFile> files;
        // The files are the search's answer (from the catalogue alone),
        // not rows to be confirmed by a walk.
        bool final = false;
    };
    // The catalogue's answer to the criteria; `alone`: nothing is walked
    // (--catalogue-only). Throws SearchFailure when the catalogue or a
    // reading fails. Fills `use`. When the answer cannot be exact (it is
    // alone, or no watcher runs), the rows of the walk's first folders go to
    // `first` (rows of the answer, as final as the rest) before the rest is
    // built; Answer::files holds the rest. `shown`: rows answered before the
    // walk are shown; when they are not, only an exact answer has rows (the
    // walk alone answers otherwise, with the folders the catalogue knows).
    using FirstRows = std::function<void(std::vector<FoundFile>&&)>;
    Answer answer(const SearchCriteria& criteria, DatabaseHandle database, FactsWanted facts,
                  int depthLimit, bool alone, bool shown, SearchOutcome::CatalogueUse& use,
                  const FirstRows& first);

    // The walk's source of folders, after answer().
    FolderSource* folders() { return folders_.get(); }
    // A file the walk found: true when the answer had shown it.
    bool confirm(const std::string& path);
    // Files the answer showed that the walk has not found, in their order.
    std::vector<std::string> unconfirmed() const;

    // Waits until what the walk listed is written; the failure, if any.
    std::string finish();

    // While the file KAVREL_CATALOGUE_TEST_HOLD names exists (and the search
    // is not stopped), the walk waits after the rows were shown: tests and
    // screenshots see the window filled from the catalogue while checking.
    static void holdForTests(const std::atomic<bool>& stop);

private:
    CatalogueSearch(std::unique_ptr<Catalogue> catalogue,
                    std::unique_ptr<CatalogueRecorder> recorder);
    void readUnknown(Recalled& recalled, const CandidateTest& test, bool keys);
    // Rows shown before the walk: each to be found again by it.
    void noteShown(const std::vector<FoundFile>& files);

    std::unique_ptr<Catalogue> catalogue_;
    std::unique_ptr<CatalogueRecorder> recorder_;
    std::unique_ptr<CatalogueFolders> folders_;
    std::vector<std::string> shown_;
    std::unordered_map<std::string, bool> confirmed_; // by path
};

} // namespace finder
