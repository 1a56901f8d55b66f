// Saved-search files: any bytes decode without reading past them; what was
// decoded encodes to a file that decodes to the same search again.
#include "finder/saved_search.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const finder::SavedSearch saved = finder::decodeSavedSearch(data, size);
    FUZZ_CHECK(saved.headerComplete == (size >= finder::kSavedSearchHeaderSize));
    FUZZ_CHECK(saved.rows.size() <= size); // a row takes a byte at least
    if (!saved.header.saveResults)
        FUZZ_CHECK(saved.rows.empty());

    // Written again: a text that filled its field is cut to leave room for
    // its NUL; everything else comes back as read.
    finder::SavedSearch again = saved;
    again.header.rowCount = static_cast<std::int32_t>(saved.rows.size());
    const std::vector<std::uint8_t> bytes = finder::encodeSavedSearch(again);
    const finder::SavedSearch back = finder::decodeSavedSearch(bytes.data(), bytes.size());
    FUZZ_CHECK(back.header.namedText == finder::cutOnCharacter(saved.header.namedText, 259));
    FUZZ_CHECK(back.header.kbText == finder::cutOnCharacter(saved.header.kbText, 15));
    FUZZ_CHECK(back.header.zoomScale == saved.header.zoomScale ||
               saved.header.zoomScale != saved.header.zoomScale); // NaN stays NaN
    FUZZ_CHECK(back.rows.size() == saved.rows.size());
    for (std::size_t i = 0; i < back.rows.size(); ++i)
        FUZZ_CHECK(back.rows[i].modified == finder::cutOnCharacter(saved.rows[i].modified, 259));
    return 0;
}
