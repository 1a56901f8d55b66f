#include "finder/result_order.h"

#include "DateUtil.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace finder {
namespace {

// Leading signed decimal integer: blanks, one sign, digits; 0 without digits.
// Saturates instead of overflowing, so absurd texts still compare.
long long leadingSize(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value > (1LL << 58) ? value : value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

// Ordinal byte comparison: unsigned bytes, a prefix before the longer text.
int compareBytes(std::string_view a, std::string_view b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// -1/+1 for "less" in the direction asked, 0 for equal.
int directed(int order, bool descending) {
    if (order == 0)
        return 0;
    return (order < 0) != descending ? -1 : 1;
}

} // namespace

std::string_view columnText(const RowTexts& row, int column) {
    switch (column) {
    case kNameColumn:
        return row.name;
    case kFolderColumn:
        return row.folder;
    case kSizeColumn:
        return row.size;
    case kTypeColumn:
        return row.type;
    case kModifiedColumn:
        return row.modified;
    default:
        return {};
    }
}

int CompareResultItems(const RowTexts& row1, const RowTexts& row2, int column,
                       std::uint32_t directionBits) {
    if (column < 0 || column >= kResultColumnCount)
        return 0;
    const bool descending = (directionBits >> column & 1u) != 0;
    const std::string_view a = columnText(row1, column);
    const std::string_view b = columnText(row2, column);
    switch (column) {
    case kSizeColumn: {
        const long long x = leadingSize(a), y = leadingSize(b);
        return directed(x < y ? -1 : (x > y ? 1 : 0), descending);
    }
    case kModifiedColumn: {
        const std::size_t blankA = a.find(' '), blankB = b.find(' ');
        if (blankA == std::string_view::npos || blankB == std::string_view::npos)
            return 0;
        // A date part that cannot be read counts as 0.
        const unsigned x = DateUtil::parseDate(a.substr(0, blankA)).value_or(0);
        const unsigned y = DateUtil::parseDate(b.substr(0, blankB)).value_or(0);
        return directed(x < y ? -1 : (x > y ? 1 : 0), descending);
    }
    default:
        return directed(compareBytes(a, b), descending);
    }
}

std::vector<std::size_t> sortOrder(const std::vector<const RowTexts*>& rows, int column,
                                   SortDirections& directions) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (column < 0 || column >= kResultColumnCount)
        return order;
    const std::uint32_t bits = directions.bits();
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return CompareResultItems(*rows[x], *rows[y], column, bits) < 0;
    });
    directions.flip(column);
    return order;
}

} // namespace finder
