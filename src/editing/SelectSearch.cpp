#include "editing/SelectSearch.h"

#include "tagcore/MP3Tag.h"

#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <exception>
#include <vector>

namespace veltrane {

namespace {

void AsciiUpperInPlace(std::string& Text) {
    for (char& c : Text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
}

} // namespace

std::string DeSelectHeadline(TDeSelectMode Mode) {
    return Mode == TDeSelectMode::dmSelect ? UiText("SelectSearch", "Select all containing")
                                           : UiText("SelectSearch", "Deselect all containing");
}

bool RowTextMatches(std::string_view RowText, std::string_view Text, bool CaseSensitive) {
    if (Text.empty())
        return false;
    if (CaseSensitive)
        return RowText.find(Text) != std::string_view::npos;
    std::string row(RowText);
    std::string text(Text);
    AsciiUpperInPlace(row);
    AsciiUpperInPlace(text);
    return row.find(text) != std::string::npos;
}

TFileFailures ApplySelectSearch(TFileList& List, TDeSelectMode Mode, const TSelectSearch& Search,
                                IProgress* Progress, const TagCodec& Codec) {
    TFileFailures failures;
    const bool byStyle = Search.UseStyleSearch || !Search.UseTextSearch;
    const std::uint8_t genre = StyleToByte(Search.Style);
    std::string text = Search.Text;
    if (!Search.CaseSensitive)
        AsciiUpperInPlace(text);
    const std::size_t count = List.Count();
    // Only a style search opens files; a text search is quick enough to need no display.
    ProgressScope progress(byStyle ? Progress : nullptr,
                           FillText(UiText("SelectSearch", "Reading %1 files..."),
                                    {std::to_string(count > 0 ? count - 1 : 0)}),
                           count > 1 ? count - 2 : 0);
    // A style search reads the files List.ReadJobs() at a time, handed back in row order.
    std::vector<std::string> paths;
    if (byStyle)
        for (std::size_t i = 1; i < count; ++i)
            if (IsFileRow(List, i))
                paths.push_back(List.GetFileName(i));
    TOrderedReader<std::uint8_t> reader(paths.size(), List.ReadJobs(), [&](std::size_t k) {
        return GetMP3Tag(paths[k], Codec).Genre;
    });
    std::size_t next = 0;
    std::string row;
    for (std::size_t i = 1; i < count; ++i) {
        bool match = false;
        if (!IsFileRow(List, i)) {
            // the marker row never matches
        } else if (byStyle) {
            const std::string& path = paths[next++];
            try {
                match = reader.Next() == genre;
            } catch (const std::exception& e) {
                failures.push_back({path, e.what()});
            }
            progress.SetPosition(i - 1);
        } else if (!text.empty()) {
            row.clear();
            List.AppendItemText(i, row);
            if (!Search.CaseSensitive)
                AsciiUpperInPlace(row);
            match = row.find(text) != std::string::npos;
        }
        if (Mode == TDeSelectMode::dmSelect)
            List.SetSelected(i, match);
        else if (match)
            List.SetSelected(i, false);
    }
    return failures;
}

std::vector<char> SelectionMarks(const TFileList& List) {
    std::vector<char> marks(List.Count());
    for (std::size_t i = 0; i < marks.size(); ++i)
        marks[i] = List.Selected(i) ? 1 : 0;
    return marks;
}

void FocusFirstNewlySelected(TFileList& List, const std::vector<char>& Before) {
    for (std::size_t i = 1; i < List.Count(); ++i) {
        if (List.Selected(i) && (i >= Before.size() || Before[i] == 0)) {
            List.SetItemIndex(static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

} // namespace veltrane
