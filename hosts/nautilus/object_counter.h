#pragma once
// Counting a file's objects away from the file manager's thread: the pages'
// buttons (Count) are pressed on a worker thread, and the new rows are put
// into the models on the thread that asked, through its main context. A
// model dropped before its counts arrive is left alone.
#include "gobject_ptr.h"

#include <gio/gio.h>

#include <cstddef>
#include <string>
#include <vector>

namespace nautilushost {

struct CountTarget {
    std::size_t page;  // index of the page among the server's pages
    GListStore* items; // the model's items, replaced by the page's rows
};

// Starts reading `file`'s pages with their buttons pressed. Each target's
// items are replaced when the rows arrive, on the calling thread's
// thread-default main context; a store gone by then is skipped. False when
// no worker could be started (the models stay as they are).
bool startCounting(const std::string& serverPath, const std::string& file,
                   const std::vector<CountTarget>& targets);

// Counts started whose results have not yet been delivered or dropped.
int countsPending();

} // namespace nautilushost
