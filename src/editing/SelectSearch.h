#pragma once
// Selecting and deselecting rows of the file list by a text in the row or by genre.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/RunFailures.h"
#include "tagcore/TagCodec.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

enum class TDeSelectMode { dmSelect, dmDeselect };

struct TSelectSearch {
    std::string Text;
    bool CaseSensitive = false;
    bool UseTextSearch = true;
    bool UseStyleSearch = false; // when set, the genre alone decides
    std::string Style;           // a genre table entry; "" (or nothing chosen) is genre 255
};

// "Select all containing" / "Deselect all containing".
std::string DeSelectHeadline(TDeSelectMode Mode);

// Text occurs in RowText; unless CaseSensitive both are upper-cased first (ASCII a to z only).
// An empty Text matches nothing.
bool RowTextMatches(std::string_view RowText, std::string_view Text, bool CaseSensitive);

// Applies the search to file rows 1 .. Count()-1. Select mode: the selection becomes exactly
// the matching rows. Deselect mode: matching rows are deselected, the others keep their state.
// A style search reads tags; a file whose tag cannot be read does not match and is listed.
TFileFailures ApplySelectSearch(TFileList& List, TDeSelectMode Mode, const TSelectSearch& Search,
                                IProgress* Progress = nullptr,
                                const TagCodec& Codec = TagCodec::Default());

// Selection mark of every row, to compare with after a run.
std::vector<char> SelectionMarks(const TFileList& List);
// After a run the commands on the focused row must act on a row the user sees selected: the
// first row that became selected takes the focus; when none did, the focus stays.
void FocusFirstNewlySelected(TFileList& List, const std::vector<char>& Before);

} // namespace veltrane
