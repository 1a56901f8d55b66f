#include "row_printer.h"

#include "finder/export/row_json.h"
#include "finder/result_order.h"

#include <chrono>

namespace finder::cli {

void RowPrinter::rowsFound(const std::vector<FoundRow>& rows) {
    for (const FoundRow& row : rows) {
        if (format_.sortColumn >= 0)
            held_.push_back(exportRowOf(row));
        else
            print(exportRowOf(row));
    }
}

void RowPrinter::rowsGiven(std::vector<ExportRow> rows) {
    for (ExportRow& row : rows) {
        if (format_.sortColumn >= 0)
            held_.push_back(std::move(row));
        else
            print(std::move(row));
    }
}

void RowPrinter::searchFinished(const SearchOutcome& outcome) {
    outcome_ = outcome;
    if (format_.sortColumn < 0)
        return;
    // One click sorts ascending; a second one sorts that order descending.
    SortDirections directions;
    for (int click = 0; click < (format_.descending ? 2 : 1); ++click) {
        std::vector<const RowTexts*> rows;
        for (const ExportRow& row : held_)
            rows.push_back(&row.texts);
        std::vector<ExportRow> sorted;
        for (std::size_t index : sortOrder(rows, format_.sortColumn, directions))
            sorted.push_back(std::move(held_[index]));
        held_ = std::move(sorted);
    }
    for (ExportRow& row : held_)
        print(std::move(row));
    held_.clear();
}

void RowPrinter::print(ExportRow row) {
    line_.clear();
    const RowTexts& texts = row.texts;
    if (format_.print0) {
        line_ = row.path;
        line_ += '\0';
    } else if (format_.json) {
        line_ = rowJson(texts, row.path, row.facts.get());
        line_ += '\n';
    } else {
        for (const std::string* text : {&texts.name, &texts.folder, &texts.size, &texts.type}) {
            line_ += *text;
            line_ += '\t';
        }
        line_ += texts.modified;
        line_ += '\n';
    }
    std::fwrite(line_.data(), 1, line_.size(), out_);
    // A reader of a pipe sees the first row at once, and the others at
    // most a fifth of a second after they are found.
    const auto now = std::chrono::steady_clock::now();
    if (!flushed_ || now - *flushed_ >= kFlushEvery) {
        std::fflush(out_);
        flushed_ = now;
    }
    if (keep_)
        printed_.push_back(std::move(row));
}

} // namespace finder::cli
