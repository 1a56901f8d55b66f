#pragma once
// The facts of the files a saved search lists (its rows are kept as texts):
// what the footprint cache holds for a file while it still answers, else
// read from the file now and kept in the cache. Files that no layer type
// names are not read. Used by one thread at a time, off the window's.
#include "finder/footprint_cache.h"

#include <strand32/file_facts.h>

#include <memory>
#include <string>

namespace finder {

class SavedRowFacts {
public:
    // Without the cache (`useCache` false, KAVREL_CACHE=off, or a cache
    // that cannot be opened) every file is read.
    explicit SavedRowFacts(bool useCache);
    ~SavedRowFacts();
    SavedRowFacts(const SavedRowFacts&) = delete;
    SavedRowFacts& operator=(const SavedRowFacts&) = delete;

    // The facts of the file at `path` (full); null when no layer type names it.
    std::shared_ptr<const strand32::FileFacts> factsOf(const std::string& path);

private:
    std::unique_ptr<FootprintCache> cache_;
};

} // namespace finder
