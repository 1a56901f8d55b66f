#pragma once
// A file's pages as texts, for hosts that show them in widgets of their own
// (a terminal, a file manager's property models) rather than as dialogs.
#include "page_rows.h"
#include "property_session.h"

#include <optional>
#include <string>
#include <vector>

namespace velmorahost {

struct PageTexts {
    std::string title;
    std::vector<PageRow> rows;
    bool hasButtons = false; // the page waits for a press (Count) to fill some rows
};

// Presses every button of every page, in order. The index of the last page
// that had one, or -1.
int pressAllButtons(const PropertySession& session);

// Each page's title and rows as they stand now.
std::vector<PageTexts> readPages(const PropertySession& session);

// Opens a Properties sheet for `files` with the server at `serverPath`,
// presses every button when `press` is set, reads the pages and closes the
// sheet again. Nothing, with the reason in `error`, when the server gave no
// pages. The server describes the file of its most recent Initialize, so
// within one process one sheet at a time is read: a call waits for another
// thread's to end.
std::optional<std::vector<PageTexts>> readSheet(const std::string& serverPath,
                                                const std::vector<std::string>& files, bool press,
                                                std::string& error);

} // namespace velmorahost
