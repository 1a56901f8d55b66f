#pragma once
// The test each listed file must pass to join the results. It runs on the
// search's thread with the file's folder as the current folder.
#include "finder/found_file.h"
#include "finder/search_criteria.h"

#include <cstdint>

namespace finder {

// An open coordinate-system database of the running search (0 = none).
using DatabaseHandle = std::uint32_t;

// True when `file` passes every test its criteria switch on.
bool passesCandidateTest(const SearchCriteria& criteria, const FoundFile& file,
                         DatabaseHandle database);

} // namespace finder
