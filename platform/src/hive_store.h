#pragma once
// Reading and rewriting hive files. Every access holds a lock on a side file
// ("<hive>.lock", shared to read, exclusive to write), and a write goes to a
// temporary file that replaces the hive by rename, so a reader sees either
// the old text or the new one, never a torn mix. Temporary files that killed
// writers left behind are removed by the next write.
#include "hive_text.h"

#include <functional>
#include <string>

namespace platform::hive {

struct Loaded {
    long error = 0; // 0, ERROR_FILE_NOT_FOUND (no hive), ERROR_ACCESS_DENIED
    Document doc;
};

// Reads and parses a hive. A hive with broken lines is reported on standard
// error once per file and process.
Loaded loadHive(const std::string& path);

// Creates a missing current-user hive from the installed default-user hive,
// or as an empty "REGEDIT4" hive when that is missing too.
void ensureUserHive(const std::string& path);

// Rereads the hive under the exclusive lock, lets `edit` change it and
// writes it back when `edit` returns 0. A hive with broken lines is never
// written: ERROR_BADDB.
long updateHive(const std::string& path, const std::function<long(Document&)>& edit);

} // namespace platform::hive
