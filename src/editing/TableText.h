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

} // namespace veltrane
