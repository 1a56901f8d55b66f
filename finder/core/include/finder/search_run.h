#pragma once
// The walk of one search, run on the calling thread: the start folder and,
// when asked, its subfolders depth first, each folder listed with the name
// pattern before its subfolders. The walk makes each folder the process's
// current folder while it lists it and restores the previous one at the end,
// so nothing else may rely on the current folder while a search runs. When
// the candidate test reads files, a small pool of threads reads them ahead
// of the walk (never through the current folder) and the footprint cache
// answers for files read before; files and status texts are still handed
// on in the walk's order.
#include "finder/found_file.h"
#include "finder/qualification.h"
#include "finder/search_criteria.h"
#include "finder/walk_result.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace finder {

struct SearchCallbacks {
    // A folder entry was listed, or a subfolder was made current: the status
    // line shows "Searching: " and this folder. May be empty.
    std::function<void(const std::string& currentFolder)> folderEntered;
    // A file passed the candidate test. Called synchronously; the entry is
    // valid only during the call. Required: without it the walk does nothing.
    std::function<void(const FoundFile& file)> candidateFound;
};

class FootprintCache;

class SearchRun {
public:
    // Levels of subfolders below the start folder before the guard trips.
    static constexpr int DefaultDepthLimit = 256;
    // Threads that read candidate files ahead of the walk: one less than
    // the machine's cores, at least one and at most three.
    static unsigned defaultReaders();

    // `stop` is read after every entry; the criteria and callbacks must
    // outlive run().
    SearchRun(const SearchCriteria& criteria, const std::atomic<bool>& stop,
              SearchCallbacks callbacks, DatabaseHandle database = 0);

    void setDepthLimit(int levels) { depthLimit_ = levels; }
    // 0: candidate files are read on the walk's thread.
    void setReaders(unsigned threads) { readers_ = threads; }
    // The cache that answers for files read before and keeps what is read
    // now; null (the default): none. Used on the walk's thread only.
    void setFootprintCache(FootprintCache* cache) { cache_ = cache; }

    // Walks from criteria.startFolder with criteria.namePattern. Never
    // throws: a failure inside a callback ends the walk as if stopped.
    WalkResult run();

    std::uint64_t filesFound() const { return filesFound_; }
    std::uint64_t foldersEntered() const { return foldersEntered_; }

private:
    struct Walker;
    const SearchCriteria& criteria_;
    const std::atomic<bool>& stop_;
    SearchCallbacks callbacks_;
    DatabaseHandle database_;
    int depthLimit_ = DefaultDepthLimit;
    unsigned readers_ = defaultReaders();
    FootprintCache* cache_ = nullptr;
    std::uint64_t filesFound_ = 0;
    std::uint64_t foldersEntered_ = 0;
};

} // namespace finder
