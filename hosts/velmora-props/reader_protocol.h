#pragma once
// What the page reader (velmora-reader) tells its host on standard output:
// one record a line, fields separated by tabs, a tab, line break or
// backslash inside a field written as \t, \n, \r or \\.
//   page TITLE HAS-BUTTONS(0|1)   a page, its rows following
//   row LABEL VALUE
//   sheet                         the pages so far form one answer
//   error TEXT                    the server gave no pages
// The reader answers twice: the pages as opened, then after Count.
#include "page_texts.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorahost {

// The lines of one answer, the last one "sheet".
std::string encodeSheet(const std::vector<PageTexts>& pages);
// An error line.
std::string encodeError(std::string_view text);

// Reads an answer line by line (each line without its line break).
class SheetDecoder {
public:
    // The pages once `line` ends an answer; nothing otherwise. A line that
    // is not understood is skipped.
    std::optional<std::vector<PageTexts>> feed(std::string_view line);
    // The text of the last error line; empty when none came.
    const std::string& error() const { return error_; }

private:
    std::vector<PageTexts> pages_;
    std::string error_;
};

} // namespace velmorahost
