// The saved-search file's bytes: the fixed header field by field and the
// row texts behind it, written and read little-endian whatever the host.
#include "finder/saved_search.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cwchar>

namespace finder {
namespace {

constexpr std::size_t kRowTextLimit = 259;

// Offsets and sizes of the header's fields.
struct TextField {
    std::size_t offset, size;
};
constexpr TextField kNamed{0, 260}, kLookIn{260, 260}, kDateStart{524, 12}, kDateEnd{536, 12},
    kPrevMonths{549, 4}, kPrevDays{554, 4}, kNorthwestX{561, 32}, kNorthwestY{593, 32},
    kSoutheastX{625, 32}, kSoutheastY{657, 32}, kGroup{689, 256}, kSystem{945, 256},
    kDatum{1201, 256}, kSizeMode{1457, 9}, kKb{1466, 16};
constexpr std::size_t kRecurse = 520, kAllFiles = 521, kFindAllModified = 522, kBetween = 523,
                      kPreviousMonths = 548, kPreviousDays = 553, kInclusive = 558,
                      kExclusive = 559, kIntersection = 560, kSaveResults = 1482, kRowCount = 1484,
                      kGeodetic = 1488, kZoomX = 1492, kZoomY = 1500, kZoomScale = 1508;

// The fields of a header paired with its members, so writing and reading
// walk one table.
template <typename Header, typename Visit> void forEachText(Header& h, Visit visit) {
    visit(kNamed, h.namedText);
    visit(kLookIn, h.lookInText);
    visit(kDateStart, h.dateStartText);
    visit(kDateEnd, h.dateEndText);
    visit(kPrevMonths, h.prevMonthsText);
    visit(kPrevDays, h.prevDaysText);
    visit(kNorthwestX, h.northwestX);
    visit(kNorthwestY, h.northwestY);
    visit(kSoutheastX, h.southeastX);
    visit(kSoutheastY, h.southeastY);
    visit(kGroup, h.systemGroupText);
    visit(kSystem, h.systemText);
    visit(kDatum, h.datumText);
    visit(kSizeMode, h.sizeModeText);
    visit(kKb, h.kbText);
}

template <typename Header, typename Visit> void forEachFlag(Header& h, Visit visit) {
    visit(kRecurse, h.recurse);
    visit(kAllFiles, h.allFiles);
    visit(kFindAllModified, h.findAllModified);
    visit(kBetween, h.between);
    visit(kPreviousMonths, h.previousMonths);
    visit(kPreviousDays, h.previousDays);
    visit(kInclusive, h.inclusive);
    visit(kExclusive, h.exclusive);
    visit(kIntersection, h.intersection);
    visit(kSaveResults, h.saveResults);
    visit(kGeodetic, h.geodetic);
}

template <typename Header, typename Visit> void forEachReal(Header& h, Visit visit) {
    visit(kZoomX, h.zoomCenterX);
    visit(kZoomY, h.zoomCenterY);
    visit(kZoomScale, h.zoomScale);
}

template <typename Word> void putLittleEndian(std::uint8_t* at, Word value) {
    for (std::size_t i = 0; i < sizeof value; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

template <typename Word> Word getLittleEndian(const std::uint8_t* at) {
    Word value = 0;
    for (std::size_t i = 0; i < sizeof value; ++i)
        value |= static_cast<Word>(at[i]) << (8 * i);
    return value;
}

// A text field up to its NUL or its end.
std::string fieldText(const std::uint8_t* header, TextField field) {
    const auto* begin = reinterpret_cast<const char*>(header + field.offset);
    return std::string(begin, strnlen(begin, field.size));
}

} // namespace

std::string cutOnCharacter(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return std::string(text);
    std::mbstate_t state{};
    std::size_t kept = 0;
    while (kept < maxBytes) {
        const std::size_t length = std::mbrlen(text.data() + kept, text.size() - kept, &state);
        // A byte that starts no character of the encoding counts alone.
        const std::size_t step = (length == 0 || length > text.size()) ? 1 : length;
        if (length > text.size())
            state = std::mbstate_t{};
        if (kept + step > maxBytes)
            break;
        kept += step;
    }
    return std::string(text.substr(0, kept));
}

std::vector<std::uint8_t> encodeSavedSearch(const SavedSearch& saved) {
    const SavedSearchHeader& h = saved.header;
    std::vector<std::uint8_t> bytes(kSavedSearchHeaderSize, 0);
    forEachText(h, [&](TextField field, const std::string& text) {
        const std::string cut = cutOnCharacter(text.c_str(), field.size - 1);
        std::memcpy(bytes.data() + field.offset, cut.data(), cut.size());
    });
    forEachFlag(h, [&](std::size_t offset, bool flag) { bytes[offset] = flag ? 1 : 0; });
    putLittleEndian(bytes.data() + kRowCount, static_cast<std::uint32_t>(h.rowCount));
    forEachReal(h, [&](std::size_t offset, double value) {
        putLittleEndian(bytes.data() + offset, std::bit_cast<std::uint64_t>(value));
    });
    if (!h.saveResults)
        return bytes;
    for (const RowTexts& row : saved.rows)
        for (const std::string* text :
             {&row.name, &row.folder, &row.size, &row.type, &row.modified}) {
            const std::string cut = cutOnCharacter(text->c_str(), kRowTextLimit);
            bytes.insert(bytes.end(), cut.begin(), cut.end());
            bytes.push_back(0);
        }
    return bytes;
}

SavedSearch decodeSavedSearch(const std::uint8_t* data, std::size_t size) {
    std::uint8_t header[kSavedSearchHeaderSize] = {};
    std::memcpy(header, data, std::min(size, kSavedSearchHeaderSize));

    SavedSearch saved;
    saved.headerComplete = size >= kSavedSearchHeaderSize;
    SavedSearchHeader& h = saved.header;
    forEachText(h, [&](TextField field, std::string& text) { text = fieldText(header, field); });
    forEachFlag(h, [&](std::size_t offset, bool& flag) { flag = header[offset] != 0; });
    h.rowCount = static_cast<std::int32_t>(getLittleEndian<std::uint32_t>(header + kRowCount));
    forEachReal(h, [&](std::size_t offset, double& value) {
        value = std::bit_cast<double>(getLittleEndian<std::uint64_t>(header + offset));
    });
    if (!h.saveResults)
        return saved;
    saved.rowsComplete = h.rowCount <= 0;
    if (size <= kSavedSearchHeaderSize)
        return saved;

    // Each text runs to its NUL or to the end of the data; a count the data
    // does not back (negative, or too many rows) yields the rows there are.
    const char* next = reinterpret_cast<const char*>(data) + kSavedSearchHeaderSize;
    const char* const end = reinterpret_cast<const char*>(data) + size;
    bool lastTextEnded = true;
    const auto take = [&](std::string& text) {
        const char* nul = std::find(next, end, '\0');
        text.assign(next, nul);
        lastTextEnded = nul != end;
        next = nul == end ? end : nul + 1;
    };
    int textsOfLastRow = 0;
    for (std::int64_t row = 0; (h.rowCount < 0 || row < h.rowCount) && next < end; ++row) {
        RowTexts& texts = saved.rows.emplace_back();
        textsOfLastRow = 0;
        for (std::string* text :
             {&texts.name, &texts.folder, &texts.size, &texts.type, &texts.modified}) {
            if (next >= end)
                break;
            take(*text);
            ++textsOfLastRow;
        }
    }
    saved.rowsComplete = h.rowCount >= 0 &&
                         saved.rows.size() == static_cast<std::size_t>(h.rowCount) &&
                         (h.rowCount == 0 || (textsOfLastRow == 5 && lastTextEnded));
    return saved;
}

} // namespace finder
