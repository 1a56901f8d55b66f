#pragma once
// kavrel-find's saved-search files: reading one for --saved-search and
// --saved-results, and storing a search for --save-search.
#include "cli_options.h"
#include "finder/export/export_row.h"
#include "finder/saved_search.h"

#include <cstdio>
#include <optional>
#include <string>

namespace finder::cli {

// The file read whole enough to use, or nullopt after a message on `err`:
// missing, unreadable, or ending within its header.
std::optional<SavedSearch> loadSavedSearchOrReport(const std::string& file, std::FILE* err);

// Why the stored rows of `saved` are not whole, or empty when they are.
std::string storedRowsProblem(const SavedSearch& saved);

// --saved-results: prints the stored rows as a search prints its rows and the
// count on `err`; 1 when the file cannot be read or its rows are not whole.
int printSavedResults(const Options& options, std::FILE* out, std::FILE* err);

// --save-search: writes `header` with the search's rows (kept only with
// --save-results) to the file; 1 after a message when that fails.
int storeSearch(const Options& options, SavedSearchHeader header,
                const std::vector<ExportRow>& rows, std::uint64_t rowCount, std::FILE* err);

} // namespace finder::cli
