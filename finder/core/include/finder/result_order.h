#pragma once
// The order of the results list: CompareResultItems over the texts of two
// rows, and the five sort-direction bits that the column headers, the
// Arrange Icons items and kavrel-find's --sort share.
#include "finder/found_file.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace finder {

enum ResultColumn { kNameColumn, kFolderColumn, kSizeColumn, kTypeColumn, kModifiedColumn };
inline constexpr int kResultColumnCount = 5;

// One bit per column (column c is bit 1 << c): clear, the next sort by that
// column is ascending; set, descending. Only a sort flips a bit.
class SortDirections {
public:
    bool descending(int column) const { return (bits_ >> column & 1u) != 0; }
    void flip(int column) { bits_ ^= 1u << column; }
    std::uint32_t bits() const { return bits_; }

private:
    std::uint32_t bits_ = 0;
};

// Negative when row1 sorts before row2 by `column` in the direction of its
// bit in `directionBits`: ordinal bytes for Name, In Folder and Type, the
// leading signed integer for Size, the date part of Modified as a DOS date
// (0 when either text has no blank). Any other column compares equal.
int CompareResultItems(const RowTexts& row1, const RowTexts& row2, int column,
                       std::uint32_t directionBits);

// The text of a row's column (empty for another column).
std::string_view columnText(const RowTexts& row, int column);

// The order a sort by `column` gives `rows` (indices into it, stable among
// equal rows), as a click does; then flips the column's bit.
std::vector<std::size_t> sortOrder(const std::vector<const RowTexts*>& rows, int column,
                                   SortDirections& directions);

} // namespace finder
