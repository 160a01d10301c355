#pragma once
// Cuts one TMultiList item into its marker and columns.

#include <cstddef>
#include <string_view>
#include <vector>

namespace veltrane {

inline constexpr std::size_t kMultiListMaxColumns = 17;

struct TMultiListRow {
    // Row picture 0..15 selected by the first character, -1 for none.
    int Bitmap = -1;
    // Columns closed by the separator, at most kMultiListMaxColumns; text after the last
    // separator is not a column.
    std::vector<std::string_view> Columns;
};

// Picture number of a marker character: "0".."9" -> 0..9, "*" 10, "!" 11, "@" 12, "#" 13,
// "$" 14, "%" 15; "~" -> -2 (a marker without picture); anything else -> -1 (no marker).
int MultiListMarker(char First);

// The views point into Item.
TMultiListRow SplitMultiListItem(std::string_view Item, char Separator);

} // namespace veltrane
