#pragma once
// Which rows the list's filter box lets through: those whose row text holds the typed text,
// folded as select by text folds it. A million rows are matched by several threads at once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// Upper-cases ASCII a..z only; every other byte keeps its value.
inline constexpr std::array<unsigned char, 256> kAsciiUpper = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return table;
}();

// Upper-cases ASCII a..z; every other byte keeps its value (as select by text does).
std::string FoldFilterText(std::string_view Text);

// True when RowText, folded, holds Folded (already folded). Every row holds "".
bool RowHoldsFolded(std::string_view RowText, std::string_view Folded);

// Appends a row's text to Text; false for a row kept whatever its text (a marker row).
using TRowTextFn = std::function<bool(std::uint32_t Record, std::string& Text)>;

// The entries of Candidates, in their order, whose text holds Folded. Jobs threads share the
// work (0: as many as the machine has); the result is the same whatever their number.
std::vector<std::uint32_t> FilterRecords(const std::vector<std::uint32_t>& Candidates,
                                         std::string_view Folded, const TRowTextFn& RowText,
                                         std::size_t Jobs = 0);

} // namespace veltrane
