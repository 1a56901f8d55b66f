// kavrel-find's saved-search files: messages that say what is wrong with a
// file, and the same bytes the window would write.
#include "saved_search_commands.h"

#include "row_printer.h"

#include "finder/saved_search_form.h"
#include "finder/search_status.h"

#include <cstring>

namespace finder::cli {

std::optional<SavedSearch> loadSavedSearchOrReport(const std::string& file, std::FILE* err) {
    int error = 0;
    std::optional<SavedSearch> saved = readSavedSearchFile(file, &error);
    if (!saved) {
        std::fprintf(err, "kavrel-find: cannot read the saved search %s: %s\n", file.c_str(),
                     std::strerror(error));
        return std::nullopt;
    }
    if (!saved->headerComplete) {
        std::fprintf(err,
                     "kavrel-find: %s is not a whole saved search: it ends within its "
                     "%zu-byte header\n",
                     file.c_str(), kSavedSearchHeaderSize);
        return std::nullopt;
    }
    return saved;
}

std::string storedRowsProblem(const SavedSearch& saved) {
    if (saved.rowsComplete)
        return {};
    const std::int32_t stored = saved.header.rowCount;
    if (stored < 0)
        return "its row count " + std::to_string(stored) + " is not a count";
    return "its rows end early: " + std::to_string(saved.rows.size()) + " of " +
           std::to_string(stored) + " row(s) were read";
}

int printSavedResults(const Options& options, std::FILE* out, std::FILE* err) {
    const std::optional<SavedSearch> saved = loadSavedSearchOrReport(options.savedResultsFile, err);
    if (!saved)
        return 1;
    RowPrinter printer({options.sortColumn, options.descending, options.print0}, out);
    std::vector<ExportRow> rows;
    for (const RowTexts& texts : saved->rows)
        rows.push_back(
            {texts, fullPathOfRow(texts.folder, texts.name), nullptr, std::nullopt, std::nullopt});
    printer.rowsGiven(std::move(rows));
    SearchOutcome outcome;
    outcome.filesFound = static_cast<std::uint64_t>(shownRowCount(*saved));
    printer.searchFinished(outcome);
    std::fflush(out);
    const std::string problem = storedRowsProblem(*saved);
    if (!problem.empty())
        std::fprintf(err, "kavrel-find: %s: %s\n", options.savedResultsFile.c_str(),
                     problem.c_str());
    std::fprintf(err, "%s\n", filesFoundText(outcome.filesFound).c_str());
    return problem.empty() ? 0 : 1;
}

int storeSearch(const Options& options, SavedSearchHeader header,
                const std::vector<ExportRow>& rows, std::uint64_t rowCount, std::FILE* err) {
    SavedSearch saved;
    saved.header = std::move(header);
    saved.header.saveResults = options.saveResults;
    saved.header.rowCount = static_cast<std::int32_t>(rowCount);
    if (options.saveResults) {
        for (const ExportRow& row : rows)
            saved.rows.push_back(row.texts);
    }
    const SavedSearchFileResult written = writeSavedSearchFile(options.saveSearchFile, saved);
    if (written.ok)
        return 0;
    std::fprintf(err, "kavrel-find: cannot write the saved search %s: %s\n",
                 options.saveSearchFile.c_str(), written.errorText.c_str());
    return 1;
}

} // namespace finder::cli
