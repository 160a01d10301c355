#pragma once
// Reading the text of a table: CSV by RFC 4180 (LF alone also ends a record) or TSV. Plain
// text work with no file access, so the reader can be fuzzed on its own.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

enum class TTableFormat { Csv, Tsv };

// A table that cannot be read as a whole (unclosed quote, NUL byte, CR alone, no header);
// nothing of it is applied. Row counts the header as row 1.
class ETableSyntax : public std::runtime_error {
  public:
    ETableSyntax(std::size_t Row, const std::string& Text);
    std::size_t Row() const { return row_; }

  private:
    std::size_t row_;
};

struct TTableRecord {
    std::size_t Row; // 1 is the header
    std::vector<std::string> Fields;
};

// The records of a table, a UTF-8 BOM at the start skipped, empty lines left out. CSV fields
// come unquoted; TSV fields as they stand (still escaped). Throws ETableSyntax.
std::vector<TTableRecord> ParseTable(std::string_view Text, TTableFormat Format);

// A spreadsheet runs a cell that starts with "=", "+", "-", "@", tab or CR as a formula.
// GuardCell puts one apostrophe before such a cell, and before one that starts with
// apostrophes followed by such a character, so that the cell stays text; UnguardCell is its
// exact inverse: it removes one leading apostrophe when the rest would be guarded.
std::string GuardCell(std::string_view Text);
std::string UnguardCell(std::string_view Text);

} // namespace veltrane
