#pragma once
// The walk of one search, run on the calling thread: the start folder and,
// when asked, its subfolders depth first, each folder listed with the name
// pattern before its subfolders. Folders are opened below their parent's
// descriptor and files are read by full path or below their folder's
// descriptor: the process's current folder is never changed or used, and
// no path is limited in length. When the candidate test (or the caller)
// needs files' facts, a small pool of threads reads them ahead of the walk
// and the footprint cache answers for files read before; files and status
// texts are still handed on in the walk's order, each file with its facts.
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
    // A file passed the candidate test, with the facts read of it. Called
    // synchronously; the entry is valid only during the call. Required:
    // without it the walk does nothing.
    std::function<void(const FoundFile& file)> candidateFound;
};

class FootprintCache;
class FolderSource;

// Which facts a search reads of the files it finds beyond those its test
// needs: none, or those of every found file of a layer type (for an export
// or the map), with or without the coordinate-system keys.
enum class FactsWanted { None, All, WithKeys };

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
              SearchCallbacks callbacks, DatabaseHandle database = nullptr);

    void setDepthLimit(int levels) { depthLimit_ = levels; }
    // 0: candidate files are read on the walk's thread.
    void setReaders(unsigned threads) { readers_ = threads; }
    // The cache that answers for files read before and keeps what is read
    // now; null (the default): none. Used on the walk's thread only.
    void setFootprintCache(FootprintCache* cache) { cache_ = cache; }

    void setFactsWanted(FactsWanted facts) { facts_ = facts; }
    // Where folders' entries come from (the catalogue); null (the default):
    // each folder is listed.
    void setFolderSource(FolderSource* source) { source_ = source; }

    // Walks from criteria.startFolder with criteria.namePattern. Never
    // throws: a failure of a reader, the cache, a callback or memory ends
    // the walk as failed, with the reason.
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
    FactsWanted facts_ = FactsWanted::None;
    FolderSource* source_ = nullptr;
    std::uint64_t filesFound_ = 0;
    std::uint64_t foldersEntered_ = 0;
};

} // namespace finder
