// The walk: each folder opened below its parent's descriptor and listed
// once, its entries described from the listing, handed on (or to the
// qualifier) in the order listed, then its subfolders walked.
#include "finder/search_run.h"

#include "finder/footprint_cache.h"
#include "folder_listing.h"
#include "folder_source.h"
#include "geodatabase_entry.h"
#include "layer_qualifier.h"

#include <platform/wildcard.h>
#include <strand32/layer.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <thread>

namespace finder {

// One walk: the state shared by every level of the recursion.
struct SearchRun::Walker {
    SearchRun& run;
    const CandidateTest& candidateTest;
    std::string pattern;
    std::string folder; // the folder being listed, absolute
    FoundFile entry;    // reused for every entry handed out
    FileStamp stamp;    // of `entry`, taken when it was listed
    // Reads the candidates when the test (or the caller) needs their facts.
    std::unique_ptr<LayerQualifier> qualifier;
    // Whether every file of a layer type is read, or only those the type
    // test must look into.
    bool readsEveryLayer = false;

    // Lists the folder `here` holds, hands out its entries, then walks its
    // subfolders. `depth` counts the levels below the start folder.
    WalkResult folderStep(const FolderDescriptor& here, int depth) {
        FolderListing listing;
        if (!(run.source_ ? run.source_->list(folder, here, listing) : listing.open(here)))
            return WalkResult::of(WalkResult::Kind::SubfoldersNotListed);
        const FolderScope scope(*this, listing);
        for (const ListedEntry& listed : listing.entries()) {
            if (!platform::wildcardMatch(pattern, listing.name(listed)))
                continue;
            // A plain file its name alone fails needs no look at the file.
            if (listed.type == DT_REG && candidateTest.nameFails(listing.name(listed)))
                continue;
            if (!describe(listing, listed))
                continue;
            if (!handOut() || stopRequested())
                return WalkResult::of(WalkResult::Kind::Stopped);
        }
        if (!run.criteria_.includeSubfolders)
            return WalkResult::done();
        for (const ListedEntry& listed : listing.entries()) {
            if (!listing.isSubfolder(listed) || isGeodatabase(listing.fd(), listing.name(listed)))
                continue;
            if (depth >= run.depthLimit_)
                return WalkResult::of(WalkResult::Kind::TooDeep);
            // A subfolder that cannot be entered is skipped; its siblings
            // are still walked.
            const FolderDescriptor sub =
                FolderDescriptor::below(listing.fd(), listing.cName(listed));
            if (!sub || !sub.searchable())
                continue;
            const std::size_t parentLength = folder.size();
            if (folder.empty() || folder.back() != '/')
                folder += '/';
            folder += listing.name(listed);
            ++run.foldersEntered_;
            WalkResult result;
            if (!announce(folder) || stopRequested())
                result = WalkResult::of(WalkResult::Kind::Stopped);
            else
                result = folderStep(sub, depth + 1);
            folder.resize(parentLength);
            if (result.kind == WalkResult::Kind::Stopped ||
                result.kind == WalkResult::Kind::TooDeep)
                return result;
        }
        return WalkResult::done();
    }

    // Fills `entry` from the listing; false when the entry vanished.
    bool describe(const FolderListing& listing, const ListedEntry& listed) {
        entry.place(folder, listing.name(listed));
        entry.facts.reset();
        // A folder entry only updates the status line: its type is enough.
        if (listed.type == DT_DIR) {
            if (describeGeodatabase(listing, listed))
                return true;
            entry.isFolder = true;
            entry.size = 0;
            return true;
        }
        struct stat info {};
        if (!listing.statOf(listed, info))
            return false;
        entry.isFolder = S_ISDIR(info.st_mode);
        if (entry.isFolder && describeGeodatabase(listing, listed))
            return true;
        entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        entry.modified = timePointOf(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        stamp = stampOf(info);
        return true;
    }

    // A File Geodatabase folder is one file: its files' summed size and
    // newest time, the folder's own stamp.
    bool describeGeodatabase(const FolderListing& listing, const ListedEntry& listed) {
        const auto geodatabase = geodatabaseEntry(listing.fd(), listing.name(listed));
        if (!geodatabase)
            return false;
        entry.isFolder = false;
        entry.size = geodatabase->size;
        entry.modified = geodatabase->newest;
        stamp = geodatabase->stamp;
        return true;
    }

    // Hands the entry on (or to the qualifier); false once told to stop.
    bool handOut() {
        if (entry.isFolder)
            return announce(folder);
        if (!candidateTest.entryPasses(entry))
            return true;
        if (!qualifier) {
            found(entry);
            return true;
        }
        // Every file of a layer type is read when its facts are wanted; under
        // the type test alone, only those whose content decides their kind.
        const LayerType kind = strand32::layerTypeOf(entry.name());
        if (kind != LayerType::None && (readsEveryLayer || candidateTest.contentDecides(kind)))
            return qualifier->qualify(entry, stamp);
        // A name of no layer type has no facts: the area and coordinate-system
        // tests fail; without them it is found, in its turn.
        return (kind == LayerType::None && candidateTest.needsLayer()) || qualifier->passOn(entry);
    }

    void found(const FoundFile& file) {
        ++run.filesFound_;
        run.callbacks_.candidateFound(file);
    }

    // "Searching: " and the folder, in its turn; false once told to stop.
    bool announce(const std::string& text) {
        if (qualifier)
            return qualifier->status(text);
        if (run.callbacks_.folderEntered)
            run.callbacks_.folderEntered(text);
        return true;
    }

    // Tells the qualifier which folder its entries belong to while a
    // folder step lists it.
    struct FolderScope {
        Walker& walker;
        FolderScope(Walker& w, const FolderListing& listing) : walker(w) {
            if (!walker.qualifier)
                return;
            struct stat info {};
            walker.qualifier->enterFolder(walker.folder, listing.fd(),
                                          listing.statOfFolder(info) ? std::optional(stampOf(info))
                                                                     : std::nullopt);
        }
        ~FolderScope() {
            if (walker.qualifier)
                walker.qualifier->leaveFolder();
        }
        FolderScope(const FolderScope&) = delete;
        FolderScope& operator=(const FolderScope&) = delete;
    };

    bool stopRequested() const { return run.stop_.load(std::memory_order_relaxed); }
};

unsigned SearchRun::defaultReaders() {
    // The walk's thread keeps a core busy as well.
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores > 1 ? cores - 1 : 1u, 1u, 3u);
}

SearchRun::SearchRun(const SearchCriteria& criteria, const std::atomic<bool>& stop,
                     SearchCallbacks callbacks, DatabaseHandle database)
    : criteria_(criteria), stop_(stop), callbacks_(std::move(callbacks)), database_(database) {}

WalkResult SearchRun::run() {
    filesFound_ = 0;
    foldersEntered_ = 0;
    if (!callbacks_.candidateFound)
        return WalkResult::of(WalkResult::Kind::NoCallback);
    const FolderDescriptor start = FolderDescriptor::ofPath(criteria_.startFolder);
    if (!start)
        return WalkResult::folderNotEntered(errno);
    if (!start.searchable())
        return WalkResult::folderNotEntered(EACCES);
    try {
        const CandidateTest candidateTest(criteria_, database_);
        Walker walker{*this,
                      candidateTest,
                      criteria_.namePattern,
                      absoluteFolderPath(criteria_.startFolder),
                      {},
                      {},
                      {},
                      candidateTest.needsLayer() || facts_ != FactsWanted::None};
        if (walker.readsEveryLayer || candidateTest.typeTested())
            walker.qualifier = std::make_unique<LayerQualifier>(
                candidateTest,
                LayerQualifier::Options{
                    cache_, readers_, candidateTest.needsKeys() || facts_ == FactsWanted::WithKeys},
                LayerQualifier::Output{[&walker](const FoundFile& file) { walker.found(file); },
                                       callbacks_.folderEntered,
                                       [&walker] { return !walker.stopRequested(); }});
        WalkResult result = walker.folderStep(start, 0);
        // Files still being read are handed on, also after the guard tripped.
        if (walker.qualifier && result.kind != WalkResult::Kind::Stopped &&
            !walker.qualifier->finish())
            result = WalkResult::of(WalkResult::Kind::Stopped);
        return result;
    } catch (const std::bad_alloc&) {
        return WalkResult::failed("out of memory");
    } catch (const std::exception& e) {
        return WalkResult::failed(e.what());
    } catch (...) {
        return WalkResult::failed("an unknown error");
    }
}

} // namespace finder
