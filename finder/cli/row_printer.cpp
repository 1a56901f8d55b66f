#include "row_printer.h"

#include "finder/export/export_module.h"
#include "finder/export/row_json.h"
#include "finder/result_order.h"

namespace finder::cli {

void RowPrinter::rowsFound(const std::vector<FoundRow>& rows) {
    for (const FoundRow& row : rows) {
        if (format_.sortColumn >= 0)
            held_.push_back(row.texts);
        else
            print(row.texts);
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
        for (const RowTexts& row : held_)
            rows.push_back(&row);
        std::vector<RowTexts> sorted;
        for (std::size_t index : sortOrder(rows, format_.sortColumn, directions))
            sorted.push_back(std::move(held_[index]));
        held_ = std::move(sorted);
    }
    for (const RowTexts& row : held_)
        print(row);
    held_.clear();
}

void RowPrinter::print(const RowTexts& row) {
    if (keep_)
        printed_.push_back(row);
    line_.clear();
    if (format_.print0) {
        line_ = fullPathOfRow(row.folder, row.name);
        line_ += '\0';
    } else if (format_.json) {
        line_ = rowJson(row, moduleFileFacts(fullPathOfRow(row.folder, row.name)));
        line_ += '\n';
    } else {
        for (const std::string* text : {&row.name, &row.folder, &row.size, &row.type}) {
            line_ += *text;
            line_ += '\t';
        }
        line_ += row.modified;
        line_ += '\n';
    }
    std::fwrite(line_.data(), 1, line_.size(), out_);
}

} // namespace finder::cli
