#pragma once
// The single-file editor's load and save, and the multi-file editor's run with its
// "leave as it is" boxes.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/CodePageCheck.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/UiText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// What the single-file editor's controls hold. Style is a genre table entry ("Rock ", "");
// Track is "" for none or a number 1 to 255.
struct TEditorFields {
    std::string Title, Artist, Album, Year, Comment, Style, Track;
};

// The refusal of a track box that holds neither nothing nor a number from 1 to 255.
inline constexpr std::string_view kMsgBadTrack = VT_TRANSLATE_NOOP(
    "TagEditing", "Track: type a number from 1 to 255, or leave the box empty for no track.");

// FormShow: a tagged record shows its fields without trailing blanks and its genre's name; a
// record without a tag shows empty fields and the empty genre entry.
TEditorFields EditorFieldsFromTag(const TMP3Tag& Tag);

// BitBtnSaveClick: the record with the editor's texts as they stand, marker "TAG", the genre
// of Style and the track of Track; written with SetMP3Tag as one journal step and its row
// rebuilt in List (when given). Throws std::invalid_argument (kMsgBadTrack) before anything
// is written when Track is no track number, EInOutError when the write fails, EJournalError
// when it cannot be recorded, std::runtime_error when the file changed meanwhile; the row is
// then left as it was.
TMP3Tag SaveSingleTag(const TMP3Tag& Record, const TEditorFields& Fields, TFileList* List);

// What the single-file editor compares at Save to see whether another program wrote the
// file while it was open: its size and its last 128 bytes (where the tag lives).
struct TEditedFileState {
    std::uint64_t Size = 0;
    std::string Tail;
    friend bool operator==(const TEditedFileState&, const TEditedFileState&) = default;
};
// Read without changing the file (its mode included); nullopt when it cannot be read.
std::optional<TEditedFileState> ReadEditedFileState(const std::string& Path);

// One field of the multi-file editor: Leave set means the field is not touched.
struct TLeaveField {
    bool Leave = true;
    std::string Value;
};

struct TEditMoreFields {
    TLeaveField Title, Artist, Album, Year, Comment;
    TLeaveField Style; // Value is a genre table entry
    TLeaveField Track; // Value is "" (no track) or a number 1 to 255
};

// False when the track box is released with a value that is no track number.
bool TrackFieldValid(const TEditMoreFields& Fields);

// The change rule of the edits: an empty edit checks its box, any text clears it.
inline bool LeaveForText(std::string_view Text) {
    return Text.empty();
}
// Picking the first (empty) genre entry checks the box, any other entry clears it.
inline bool LeaveForStyleIndex(int Index) {
    return Index == 0;
}

// "changing tag for 1 file", "changing tag for 12 files".
std::string EditMoreHeadline(std::size_t Selected);
// "Updating 12 tags, please wait..."
std::string EditMoreProgressCaption(std::size_t Selected);

// A record read from a file, after the multi-file editor's fields: a file without a tag
// starts from empty texts (keeping its genre byte), then every field whose box is clear
// takes the editor's value.
void ApplyEditMoreFields(TMP3Tag& Tag, const TEditMoreFields& Fields);

// The journal's name of a run: "set album of 214 files", "set title and genre of 1 file".
std::string EditMoreDescription(const TEditMoreFields& Fields, std::size_t Files);

// BitBtnSaveClick: reads, changes and writes every selected file row in list order, rebuilding
// each row as it goes. A file that fails is listed and the run goes on with the next one.
// One step of the change journal: every file is read before the first is written. Throws
// std::invalid_argument (kMsgBadTrack), writing nothing, for a track that is no number.
// Notes, when given, gets what the user is told afterwards.
TFileFailures EditMoreRun(TFileList& List, const TEditMoreFields& Fields, IProgress* Progress,
                          TRunNotes* Notes = nullptr);

} // namespace veltrane
