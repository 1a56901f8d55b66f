#pragma once
// How kavrel-find prints the rows of a search: the five texts separated by
// tabs, one JSON object a line, or full paths ended by NUL; at once in walk
// order, or all at the end in the order a click on a column header gives.
#include "finder/export/export_row.h"
#include "finder/search_controller.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace finder::cli {

struct RowFormat {
    int sortColumn = -1; // -1: walk order
    bool descending = false;
    bool print0 = false;
    bool json = false;
};

class RowPrinter : public SearchListener {
public:
    RowPrinter(RowFormat format, std::FILE* out) : format_(format), out_(out) {}

    void rowsFound(const std::vector<FoundRow>& rows) override;
    // Rows that come from elsewhere (a saved search's), as found rows are.
    void rowsGiven(std::vector<ExportRow> rows);
    void searchFinished(const SearchOutcome& outcome) override;
    const SearchOutcome& outcome() const { return outcome_; }
    // The rows in the order printed, with the facts the search read, kept
    // for a saved search or the footprints when asked.
    void keepPrintedRows(bool keep) { keep_ = keep; }
    const std::vector<ExportRow>& printedRows() const { return printed_; }

private:
    void print(ExportRow row);

    RowFormat format_;
    std::FILE* out_;
    std::vector<ExportRow> held_; // rows waiting for the sort
    std::string line_;
    SearchOutcome outcome_;
    bool keep_ = false;
    std::vector<ExportRow> printed_;
    static constexpr std::chrono::milliseconds kFlushEvery{200};
    std::optional<std::chrono::steady_clock::time_point> flushed_; // last flush
};

} // namespace finder::cli
