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

// The header's fields: offset, size and the member each one holds.
using Header = SavedSearchHeader;
struct TextField {
    std::size_t offset, size;
    std::string Header::*member;
};
struct FlagField {
    std::size_t offset;
    bool Header::*member;
};
struct RealField {
    std::size_t offset;
    double Header::*member;
};

constexpr TextField kTextFields[] = {
    {0, 260, &Header::namedText},         {260, 260, &Header::lookInText},
    {524, 12, &Header::dateStartText},    {536, 12, &Header::dateEndText},
    {549, 4, &Header::prevMonthsText},    {554, 4, &Header::prevDaysText},
    {561, 32, &Header::northwestX},       {593, 32, &Header::northwestY},
    {625, 32, &Header::southeastX},       {657, 32, &Header::southeastY},
    {689, 256, &Header::systemGroupText}, {945, 256, &Header::systemText},
    {1201, 256, &Header::datumText},      {1457, 9, &Header::sizeModeText},
    {1466, 16, &Header::kbText},
};
constexpr FlagField kFlagFields[] = {
    {520, &Header::recurse},      {521, &Header::allFiles},       {522, &Header::findAllModified},
    {523, &Header::between},      {548, &Header::previousMonths}, {553, &Header::previousDays},
    {558, &Header::inclusive},    {559, &Header::exclusive},      {560, &Header::intersection},
    {1482, &Header::saveResults}, {1488, &Header::geodetic},
};
constexpr RealField kRealFields[] = {
    {1492, &Header::zoomCenterX}, {1500, &Header::zoomCenterY}, {1508, &Header::zoomScale}};
constexpr std::size_t kRowCountOffset = 1484;

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
std::string fieldText(const std::uint8_t* header, const TextField& field) {
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
    for (const TextField& field : kTextFields) {
        const std::string cut = cutOnCharacter((h.*field.member).c_str(), field.size - 1);
        std::memcpy(bytes.data() + field.offset, cut.data(), cut.size());
    }
    for (const FlagField& field : kFlagFields)
        bytes[field.offset] = h.*field.member ? 1 : 0;
    putLittleEndian(bytes.data() + kRowCountOffset, static_cast<std::uint32_t>(h.rowCount));
    for (const RealField& field : kRealFields)
        putLittleEndian(bytes.data() + field.offset, std::bit_cast<std::uint64_t>(h.*field.member));
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
    if (size > 0) // an empty file may come as no buffer at all
        std::memcpy(header, data, std::min(size, kSavedSearchHeaderSize));

    SavedSearch saved;
    saved.headerComplete = size >= kSavedSearchHeaderSize;
    SavedSearchHeader& h = saved.header;
    for (const TextField& field : kTextFields)
        h.*field.member = fieldText(header, field);
    for (const FlagField& field : kFlagFields)
        h.*field.member = header[field.offset] != 0;
    h.rowCount =
        static_cast<std::int32_t>(getLittleEndian<std::uint32_t>(header + kRowCountOffset));
    for (const RealField& field : kRealFields)
        h.*field.member =
            std::bit_cast<double>(getLittleEndian<std::uint64_t>(header + field.offset));
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
    // A last row cut short is no row: any of its texts (a date) may be cut
    // anywhere; the rows before it stand, and the rows are incomplete.
    if (!saved.rows.empty() && !(textsOfLastRow == 5 && lastTextEnded))
        saved.rows.pop_back();
    saved.rowsComplete =
        h.rowCount >= 0 && saved.rows.size() == static_cast<std::size_t>(h.rowCount);
    return saved;
}

} // namespace finder
