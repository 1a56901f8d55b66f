#pragma once
// A found file as the exports write it: the texts of its row, its full
// path, and its facts when the search read them (null: not read; an export
// reads such a file itself, as it is no file the search has read).
#include "finder/found_file.h"

#include <quill32/coordsys_keys.h>
#include <strand32/file_facts.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace finder {

struct ExportRow {
    RowTexts texts;
    std::string path;
    std::shared_ptr<const strand32::FileFacts> facts;
    // Size and time of the file as the search listed it; none for rows kept
    // as texts (an export that needs them asks the file system).
    std::optional<std::uint64_t> size;
    std::optional<FileClock::time_point> modified;
};

// The row of a found file, its type named by the search.
ExportRow exportRowOf(const FoundRow& row);

// A 64-byte key field as text (it may fill the field without a NUL).
std::string keyText(const char (&key)[quill32::kKeySize]);

} // namespace finder
