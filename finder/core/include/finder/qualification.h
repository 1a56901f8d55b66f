#pragma once
// The test each listed file must pass to join the results. It runs on the
// search's thread with the file's folder as the current folder.
#include "finder/area_relation.h"
#include "finder/found_file.h"
#include "finder/search_criteria.h"

#include <cstdint>
#include <string_view>

namespace finder {

// An open coordinate-system database of the running search (0 = none).
using DatabaseHandle = std::uint32_t;

// The candidate test of one search: the corners are read once, when the
// search starts. Used by one thread at a time (the search's worker): it
// keeps the transformations of the projected systems it has met.
class CandidateTest {
public:
    // `criteria` must outlive the test; `database` is the search's open
    // database (needed only when the coordinate-system test is on).
    CandidateTest(const SearchCriteria& criteria, DatabaseHandle database);
    ~CandidateTest();
    CandidateTest(const CandidateTest&) = delete;
    CandidateTest& operator=(const CandidateTest&) = delete;

    // True when the file passes every test its criteria switch on, run in
    // flag order (date, area, coordinate system, size, type); the first
    // failing test decides. `file.fileName` is opened relative to the
    // current folder.
    bool passes(const FoundFile& file) const;

    // The single tests, whatever the flags say. A lat/lon area meets the
    // extent of a file in a projected system in degrees.
    bool datePasses(DateUtil::FileTime lastWriteTime) const;
    bool areaPasses(std::string_view name) const;
    bool coordSysPasses(std::string_view name) const;
    bool sizePasses(std::uint64_t bytes) const;
    static bool typePasses(std::string_view name);

private:
    const SearchCriteria& criteria_;
    DatabaseHandle database_;
};

// One-off form of CandidateTest(criteria, database).passes(file).
bool passesCandidateTest(const SearchCriteria& criteria, const FoundFile& file,
                         DatabaseHandle database);

} // namespace finder
