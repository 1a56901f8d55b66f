#pragma once
// What the catalogue answers for a search before the disk is looked at:
// the files of the start folder's tree it knows that pass the criteria with
// what it keeps of them (entries, and the facts files told), and those
// whose facts it does not know. The answer is exact when the running
// watcher vouches for every folder of the tree and knows all of them.
#include "finder/catalogue.h"
#include "finder/found_file.h"
#include "finder/qualification.h"
#include "finder/search_criteria.h"
#include "finder/search_run.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace finder {

struct Recalled {
    bool covered = false; // the catalogue knows the start folder
    bool exact = false;   // every folder of the tree vouched for and known
    std::vector<CatalogueFolder> folders;
    // Files that pass with what is known, in the order of their folders
    // and listings; files whose facts must still be read, in that order.
    std::vector<FoundFile> files;
    std::vector<FoundFile> unknown;
    // For each unknown file, how many of `files` come before it.
    std::vector<std::size_t> unknownAt;
};

// How many of the walk's first folders are read one at a time, at most.
inline constexpr std::size_t kFirstFoldersRead = 1000;

struct RecallRequest {
    const SearchCriteria& criteria;
    const CandidateTest& test;
    FactsWanted facts = FactsWanted::None;
    std::int64_t watchSession = 0; // of the running watcher, 0: none
    int depthLimit = SearchRun::DefaultDepthLimit;
    // When set, the rows of the walk's first folders (at most `firstFolders`
    // of them) are handed to it before the rest is built; `files` then holds
    // the rest. Only for answers that are not read further (not exact).
    std::function<void(std::vector<FoundFile>&&)> firstRows;
    std::size_t firstFolders = kFirstFoldersRead;
    // Whether the rows of an answer that is not exact are wanted; when not,
    // such an answer holds the folders only (in path order, without a
    // watcher).
    bool inexactRows = true;
};

// Throws SearchFailure when the catalogue fails while it is read.
Recalled recallFromCatalogue(Catalogue& catalogue, const RecallRequest& request);

} // namespace finder
