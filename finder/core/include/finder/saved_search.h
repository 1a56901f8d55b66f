#pragma once
// Saved searches: the whole state of the criteria pages, the selection map's
// view and optionally the result rows, as a ".wqs" file of a fixed 1516-byte
// header and NUL-terminated row texts. Encoding, decoding, the file's safe
// writing and reading, and the file's name in the saved-search folder.
#include "finder/found_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace finder {

inline constexpr std::size_t kSavedSearchHeaderSize = 1516;
inline constexpr std::string_view kSavedSearchExtension = ".wqs";

// The header's fields: every text as its control shows it, in the locale's
// encoding; booleans are check states.
struct SavedSearchHeader {
    std::string namedText;  // NameComboBox
    std::string lookInText; // DriveComboBox1: a drive item or a folder path
    bool recurse = false;
    bool allFiles = false;
    bool findAllModified = false;
    bool between = false;
    std::string dateStartText, dateEndText;
    bool previousMonths = false;
    std::string prevMonthsText;
    bool previousDays = false;
    std::string prevDaysText;
    bool inclusive = false, exclusive = false, intersection = false;
    std::string northwestX, northwestY, southeastX, southeastY;
    std::string systemGroupText, systemText, datumText;
    std::string sizeModeText; // "", "at least" or "at most"
    std::string kbText;
    bool saveResults = false;
    std::int32_t rowCount = 0;                              // rows of the results list when saved
    bool geodetic = false;                                  // "Lat / Lon"
    double zoomCenterX = 0, zoomCenterY = 0, zoomScale = 0; // 0: no map view
};

struct SavedSearch {
    SavedSearchHeader header;
    std::vector<RowTexts> rows; // written only when header.saveResults
    // Whether the data held the whole header, and every stored row whole.
    bool headerComplete = true;
    bool rowsComplete = true;
};

// The file's bytes: the header, then, when saveResults is set, five
// NUL-terminated texts per row (each cut to 259 bytes).
std::vector<std::uint8_t> encodeSavedSearch(const SavedSearch& saved);

// Reads what the bytes hold: a short header leaves the rest of its fields
// zero; rows are read only when the results flag is set, never past the end
// of the data, and a row whose caption is missing is not added.
SavedSearch decodeSavedSearch(const std::uint8_t* data, std::size_t size);

// `text` cut to at most `maxBytes` bytes on a character boundary of the
// locale's encoding.
std::string cutOnCharacter(std::string_view text, std::size_t maxBytes);

struct SavedSearchFileResult {
    bool ok = false;
    int error = 0;         // errno of the failing step
    std::string errorText; // the system's text for it
};

// Writes the file under a temporary name in the same folder, flushes it and
// renames it to `path`: a failed or interrupted save leaves no partial file
// and keeps any earlier file of that name whole.
SavedSearchFileResult writeSavedSearchFile(const std::string& path, const SavedSearch& saved);

// The decoded file; nullopt when it cannot be opened or read (errno in
// `error`, when given).
std::optional<SavedSearch> readSavedSearchFile(const std::string& path, int* error = nullptr);

// The file name a save of `namedText` takes: "*" becomes "@", "?" becomes "!"
// (and "/", which cannot stand in a name, "_"); then a number after the
// last saved file of that name, as the name of the last match in
// `existingNames` (listing order) gives it; never a name in `existingNames`.
std::string savedSearchFileName(std::string_view namedText,
                                const std::vector<std::string>& existingNames);

// The folder of saved searches, $XDG_DATA_HOME/kavrel/searches, created when
// missing; empty when it cannot be had.
std::string savedSearchFolder();

// Names of the files in `folder`, sorted by byte value (the listing order).
std::vector<std::string> folderFileNames(const std::string& folder);

} // namespace finder
