#include "finder/search_run.h"

#include "finder/footprint_cache.h"
#include "folder_listing.h"
#include "layer_qualifier.h"

#include <platform/find_file.h>
#include <platform/wildcard.h>
#include <strand32/layer.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace finder {

// One walk: the state shared by every level of the recursion.
struct SearchRun::Walker {
    SearchRun& run;
    const CandidateTest& candidateTest;
    std::string pattern;
    std::string folder; // the walk's current folder, absolute
    FoundFile entry;    // reused for every entry handed out
    FileStamp stamp;    // of `entry`, taken when it was listed
    // Reads the candidates when the test needs their facts; else none.
    std::unique_ptr<LayerQualifier> qualifier;

    // Lists the current folder, hands out its entries, then walks its
    // subfolders. `depth` counts the levels below the start folder.
    WalkResult folderStep(int depth) {
        FolderListing listing;
        if (!listing.open())
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
            if (!listing.isSubfolder(listed))
                continue;
            if (depth >= run.depthLimit_)
                return WalkResult::of(WalkResult::Kind::TooDeep);
            const std::string_view name = listing.name(listed);
            // A subfolder that cannot be entered is skipped; its siblings
            // are still walked.
            if (!listing.enter(listed))
                continue;
            const std::size_t parentLength = folder.size();
            if (folder.empty() || folder.back() != '/')
                folder += '/';
            folder += name;
            ++run.foldersEntered_;
            WalkResult result;
            if (!announce(folder) || stopRequested())
                result = WalkResult::of(WalkResult::Kind::Stopped);
            else
                result = folderStep(depth + 1);
            folder.resize(parentLength);
            if (!listing.returnHere())
                return errno != 0 ? WalkResult::folderNotEntered(errno)
                                  : WalkResult::of(WalkResult::Kind::Stopped);
            if (result.kind == WalkResult::Kind::Stopped ||
                result.kind == WalkResult::Kind::TooDeep)
                return result;
        }
        return WalkResult::done();
    }

    // Fills `entry` from the listing, with the attributes the platform's
    // folder listing gives; false when the entry vanished.
    bool describe(const FolderListing& listing, const ListedEntry& listed) {
        entry.fileName.assign(listing.name(listed));
        // A folder entry only updates the status line: its type is enough.
        if (listed.type == DT_DIR) {
            entry.attributes = platform::FILE_ATTRIBUTE_DIRECTORY;
            entry.size = 0;
            return true;
        }
        struct stat info {};
        if (!listing.statOf(listed, info))
            return false;
        const std::string_view name = entry.fileName;
        entry.attributes = S_ISDIR(info.st_mode) ? platform::FILE_ATTRIBUTE_DIRECTORY
                                                 : platform::FILE_ATTRIBUTE_ARCHIVE;
        entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        if ((info.st_mode & 0222) == 0)
            entry.attributes |= platform::FILE_ATTRIBUTE_READONLY;
        if (name.size() > 1 && name.front() == '.' && name != "..")
            entry.attributes |= platform::FILE_ATTRIBUTE_HIDDEN;
        if (listed.type == DT_LNK)
            entry.attributes |= platform::FILE_ATTRIBUTE_REPARSE_POINT;
        entry.lastWriteTime = DateUtil::fileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        stamp = stampOf(info);
        return true;
    }

    // Hands the entry on (or to the qualifier); false once told to stop.
    bool handOut() {
        if (entry.isFolder())
            return announce(folder);
        entry.folder = folder;
        if (!candidateTest.entryPasses(entry))
            return true;
        if (!qualifier) {
            found(entry);
            return true;
        }
        // A name of no layer type has no facts: the area and coordinate-system tests fail.
        if (strand32::layerTypeOf(entry.fileName) == LayerType::None)
            return true;
        return qualifier->qualify(entry, stamp);
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
            walker.qualifier->enterFolder(walker.folder, listing.statOfFolder(info)
                                                             ? std::optional(stampOf(info))
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
    // The folder to return to, held open so that it is found again even when
    // its path could not be read.
    const int previous = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (previous < 0)
        return WalkResult::folderNotEntered(errno);
    WalkResult result;
    if (::chdir(criteria_.startFolder.c_str()) != 0) {
        result = WalkResult::folderNotEntered(errno);
    } else {
        try {
            std::string start = currentFolderPath();
            if (start.empty()) // the path cannot be had: show the folder as given
                start = criteria_.startFolder;
            const CandidateTest candidateTest(criteria_, database_);
            Walker walker{*this, candidateTest, criteria_.namePattern, std::move(start), {}, {},
                          {}};
            if (candidateTest.needsLayer())
                walker.qualifier = std::make_unique<LayerQualifier>(
                    candidateTest, cache_, readers_,
                    LayerQualifier::Output{[&walker](const FoundFile& file) { walker.found(file); },
                                           callbacks_.folderEntered,
                                           [&walker] { return !walker.stopRequested(); }});
            result = walker.folderStep(0);
            // Files still being read are handed on, also after the guard tripped.
            if (walker.qualifier && result.kind != WalkResult::Kind::Stopped &&
                !walker.qualifier->finish())
                result = WalkResult::of(WalkResult::Kind::Stopped);
        } catch (...) {
            // A callback failed: the walk ends where it was, as if stopped.
            result = WalkResult::of(WalkResult::Kind::Stopped);
        }
    }
    if (::fchdir(previous) != 0 && result.kind == WalkResult::Kind::Done)
        result = WalkResult::folderNotEntered(errno);
    ::close(previous);
    return result;
}

} // namespace finder
