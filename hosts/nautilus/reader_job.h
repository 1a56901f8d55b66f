#pragma once
// One reader process per Properties window. Its answers are put into the
// window's models on the thread that started it, through that thread's
// main context: the first answer into the pages read as they open, the
// second (after Count) into the counted pages, each model filled from the
// page of its title. Every value still waiting
// when the reader overruns its time limit, stops without answering or
// reports that the server gave no pages, gets a text saying so. The reader
// is killed when the limit passes or when every model it fills is gone.
#include <gio/gio.h>

#include <cstddef>
#include <string>
#include <vector>

namespace nautilushost {

struct ReaderTarget {
    GListStore* items;  // a page's items, watched but not held
    std::string title;  // of the page in the reader's answers
    bool opened;        // filled by the answer as the pages open
    bool counted;       // filled by the answer after Count
    std::string absent; // put in every value when an answer has no such page
};

// Starts `argv` and fills the targets from its answers. `limitMs` holds for
// the first answer from the start and for the second from the first. False
// when the process could not be started (the targets say so at once).
bool startReader(const std::vector<std::string>& argv, const std::vector<ReaderTarget>& targets,
                 unsigned limitMs);

// Readers started whose process has not yet been seen to end.
int readersRunning();

} // namespace nautilushost
