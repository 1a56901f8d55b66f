#include "finder/search_run.h"

#include "folder_listing.h"

#include <platform/find_file.h>
#include <platform/wildcard.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace finder {

// One walk: the state shared by every level of the recursion.
struct SearchRun::Walker {
    SearchRun& run;
    const CandidateTest& candidateTest;
    std::string pattern;
    std::string folder; // the walk's current folder, absolute
    FoundFile entry;    // reused for every entry handed out

    // Lists the current folder, hands out its entries, then walks its
    // subfolders. `depth` counts the levels below the start folder.
    WalkResult folderStep(int depth) {
        FolderListing listing;
        if (!listing.open())
            return WalkResult::of(WalkResult::Kind::SubfoldersNotListed);
        for (const ListedEntry& listed : listing.entries()) {
            if (!platform::wildcardMatch(pattern, listing.name(listed)))
                continue;
            if (!describe(listing, listed))
                continue;
            handOut();
            if (stopRequested())
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
            if (run.callbacks_.folderEntered)
                run.callbacks_.folderEntered(folder);
            if (stopRequested())
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
        return true;
    }

    void handOut() {
        if (entry.isFolder()) {
            if (run.callbacks_.folderEntered)
                run.callbacks_.folderEntered(folder);
            return;
        }
        entry.folder = folder;
        if (!candidateTest.passes(entry))
            return;
        ++run.filesFound_;
        run.callbacks_.candidateFound(entry);
    }

    bool stopRequested() const { return run.stop_.load(std::memory_order_relaxed); }
};

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
            Walker walker{*this, candidateTest, criteria_.namePattern, std::move(start), {}};
            result = walker.folderStep(0);
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
