// The coordinate-system database file: any bytes are refused or read whole.
// The input is read as it is, then with a valid trailer put after it, so the
// records themselves are explored past the checksum. A database read whole
// writes out again to a text that reads back to the same records.
#include "database.h"
#include "fuzz_check.h"

#include <sstream>

namespace {

std::string withTrailer(std::string_view input) {
    std::string body(input);
    if (body.empty() || body.back() != '\n')
        body += '\n';
    std::size_t lines = 0;
    for (const char c : body)
        lines += c == '\n';
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", quill32::crc32(body));
    return body + "END\t" + std::to_string(lines - 1) + '\t' + crc + '\n';
}

void checkRoundTrip(const quill32::Database& db) {
    std::ostringstream out;
    db.write(out);
    quill32::Database again;
    std::string error;
    FUZZ_CHECK(again.parse(out.str(), error));
    FUZZ_CHECK(again.datums.size() == db.datums.size() && again.groups.size() == db.groups.size());
    for (std::size_t g = 0; g < db.groups.size(); ++g) {
        FUZZ_CHECK(again.groups[g].systems.size() == db.groups[g].systems.size());
        FUZZ_CHECK(again.groups[g].validDatums == db.groups[g].validDatums);
        FUZZ_CHECK(db.findGroup(db.groups[g].key) == static_cast<int>(g));
        for (const auto& s : db.groups[g].systems)
            FUZZ_CHECK(db.findSystem(static_cast<int>(g), s.key) >= 0);
    }
    for (const auto& d : db.datums)
        FUZZ_CHECK(db.findDatum(d.key) >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);
    for (const std::string& text : {std::string(input), withTrailer(input)}) {
        quill32::Database db;
        std::string error;
        if (db.parse(text, error))
            checkRoundTrip(db);
        else
            FUZZ_CHECK(!error.empty() && db.datums.empty() && db.groups.empty());
    }
    return 0;
}
