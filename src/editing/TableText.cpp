#include "editing/TableText.h"

#include <algorithm>

namespace veltrane {

namespace {

std::string RowText(std::size_t Row, const std::string& Text) {
    return "row " + std::to_string(Row) + ": " + Text;
}

// CSV by RFC 4180, with LF alone also ending a record.
std::vector<TTableRecord> ParseCsv(std::string_view text, std::size_t pos) {
    std::vector<TTableRecord> records;
    std::size_t row = 1;
    while (pos < text.size()) {
        TTableRecord record{row, {}};
        bool lineEmpty = true;
        for (;;) {
            std::string field;
            if (pos < text.size() && text[pos] == '"') {
                lineEmpty = false;
                ++pos;
                for (;;) {
                    const std::size_t q = text.find('"', pos);
                    if (q == std::string_view::npos)
                        throw ETableSyntax(row, "a quote is not closed");
                    const std::string_view piece = text.substr(pos, q - pos);
                    if (piece.find('\0') != std::string_view::npos)
                        throw ETableSyntax(row, "the file holds a NUL byte");
                    field.append(piece);
                    pos = q + 1;
                    if (pos < text.size() && text[pos] == '"') {
                        field += '"';
                        ++pos;
                        continue;
                    }
                    break;
                }
                if (pos < text.size() && text[pos] != ',' && text[pos] != '\r' &&
                    text[pos] != '\n')
                    throw ETableSyntax(row, "text after a closing quote");
            } else {
                const std::size_t end = std::min(text.find_first_of(",\r\n\"", pos), text.size());
                const std::string_view piece = text.substr(pos, end - pos);
                if (piece.find('\0') != std::string_view::npos)
                    throw ETableSyntax(row, "the file holds a NUL byte");
                if (end < text.size() && text[end] == '"')
                    throw ETableSyntax(row, "a quote inside a field that does not start with one");
                if (!piece.empty())
                    lineEmpty = false;
                field.assign(piece);
                pos = end;
            }
            record.Fields.push_back(std::move(field));
            if (pos >= text.size())
                break;
            if (text[pos] == ',') {
                lineEmpty = false;
                ++pos;
                continue;
            }
            if (text[pos] == '\r') {
                if (pos + 1 >= text.size() || text[pos + 1] != '\n')
                    throw ETableSyntax(row, "a line ends with CR alone (save with CR LF or LF "
                                            "line ends)");
                ++pos;
            }
            ++pos; // the LF
            break;
        }
        if (!lineEmpty)
            records.push_back(std::move(record));
        ++row;
    }
    return records;
}

std::vector<TTableRecord> ParseTsv(std::string_view text, std::size_t pos) {
    std::vector<TTableRecord> records;
    if (text.find('\0', pos) != std::string_view::npos) {
        const std::size_t nul = text.find('\0', pos);
        throw ETableSyntax(1 + static_cast<std::size_t>(std::count(
                                   text.begin() + pos, text.begin() + nul, '\n')),
                           "the file holds a NUL byte");
    }
    for (std::size_t row = 1; pos < text.size(); ++row) {
        std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find('\r') != std::string_view::npos)
            throw ETableSyntax(row, "a line ends with CR alone (save with CR LF or LF line ends)");
        if (line.empty())
            continue;
        TTableRecord record{row, {}};
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            record.Fields.emplace_back(line.substr(start, tab - start));
            if (tab == std::string_view::npos)
                break;
            start = tab + 1;
        }
        records.push_back(std::move(record));
    }
    return records;
}

// A cell that would be guarded: after any apostrophes, a character that starts a formula.
bool NeedsGuard(std::string_view Text) {
    const std::size_t first = Text.find_first_not_of('\'');
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(Text[first]) != std::string_view::npos;
}

} // namespace

std::string GuardCell(std::string_view Text) {
    return NeedsGuard(Text) ? "'" + std::string(Text) : std::string(Text);
}

std::string UnguardCell(std::string_view Text) {
    if (!Text.empty() && Text.front() == '\'' && NeedsGuard(Text.substr(1)))
        Text.remove_prefix(1);
    return std::string(Text);
}

ETableSyntax::ETableSyntax(std::size_t Row, const std::string& Text)
    : std::runtime_error(RowText(Row, Text)), row_(Row) {}

std::vector<TTableRecord> ParseTable(std::string_view Text, TTableFormat Format) {
    const std::size_t start = Text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    return Format == TTableFormat::Csv ? ParseCsv(Text, start) : ParseTsv(Text, start);
}

} // namespace veltrane
