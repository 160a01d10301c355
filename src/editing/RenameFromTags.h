#pragma once
// Renaming files: one file to a typed name, or the selected files to names built from their
// tags by the derive format. A rename never replaces an existing file.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/ChangePreview.h"
#include "editing/DeriveFormatModel.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"
#include "tagcore/UiText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

inline constexpr std::string_view kMsgFileExists =
    VT_TRANSLATE_NOOP("RenameFromTags", "File with that name already exists!");

// "Hmmm, an error occurt renaming this file! (17)"
std::string RenameThisFileError(int Code);
// "Hmmm, an error occurt renaming one of the files! (17)"
std::string RenameOneOfTheFilesError(int Code);

// Removes  " * / : < > ? \ |  wherever they stand.
std::string RemoveForbiddenChars(std::string_view Name);

// The track as a name holds it: two digits ("07"), three from 100; "" for none.
std::string TrackForName(std::uint8_t Track);

// The how-to fields of Tag (trailing blanks removed; the track by TrackForName) joined by the
// separator, forbidden characters removed. Nothing when the how-to list is empty, a field used
// is empty, or the name ends up empty.
std::optional<std::string> BuildNameFromTag(const TMP3Tag& Tag, const TDeriveFormat& Format);

// Why BuildNameFromTag builds no name for Tag ("the tag has no title", ...); "" when it does.
std::string NameNotBuiltReason(const TMP3Tag& Tag, const TDeriveFormat& Format);
// The characters of Text that a built name leaves out, each once, in order, blank separated.
std::string ForbiddenCharsIn(std::string_view Text);

// The longest file name the file system takes (the name alone, not its folder).
inline constexpr std::size_t kMaxNameBytes = 255;

// The directory part of a path, up to and including its last '/'; "" when it has none.
std::string DirectoryPart(std::string_view Path);

// "Rename N files" / "Rename NAME to:".
std::string RenameHeadlineMany(std::size_t Selected);
std::string RenameHeadlineOne(std::string_view Name);

struct TRenameResult {
    enum TStatus { rsRenamed, rsExists, rsFailed, rsUnchanged };
    TStatus Status = rsFailed;
    int Code = 0;        // errno of a failed rename
    std::string NewPath; // the target that was tried
    // The window's message for rsExists and rsFailed; empty otherwise.
    std::string Message;
};

// Renames Path to its directory plus Typed, with ".mp3" appended unless Typed ends with
// ".mp3" in any letter case. An existing target (the present name included) is refused with
// "File with that name already exists!". A typed name holding '/' or NUL would reach another
// file and fails with EINVAL. The rename is one journal step.
TRenameResult RenameByTypedName(const std::string& Path, std::string_view Typed);

// Whether a typed name is empty, or ".mp3" alone: either would give the hidden name ".mp3".
// RenameByTypedName refuses it (EINVAL, kMsgEmptyName) before anything else.
bool EmptyTypedName(std::string_view Typed);
inline constexpr std::string_view kMsgEmptyName =
    VT_TRANSLATE_NOOP("RenameFromTags", "The new name is empty. Type a name.");

// What RenameByTypedName would do, renaming nothing: one "name" row.
TPreviewRow PreviewRenameByTypedName(const std::string& Path, std::string_view Typed);

// Text of a rename refused because the journal could not record it.
inline constexpr std::string_view kMsgNotRecorded =
    "not renamed, the change cannot be recorded for undo: ";

// "rename 12 files from tags"
std::string RenameFromTagsDescription(std::size_t Files);

// Renames each file of Paths to the name built from its tag plus ".mp3", as one journal step;
// results in Paths order. rsUnchanged when no name can be built or the file already has that
// name; rsFailed with the error's text when the tag cannot be read.
std::vector<TRenameResult> RenameFromTags(const std::vector<std::string>& Paths,
                                          const TDeriveFormat& Format,
                                          const TagCodec& Codec = TagCodec::Default(),
                                          const ProgressScope* Progress = nullptr);

// What RenameFromTags would do, renaming nothing: one "name" row per file. A file whose name
// cannot be built or stays as it is is unchanged; a target that exists (or that an earlier file
// of the run takes), a name too long and a tag that cannot be read cannot be done. The note
// names the characters left out of the name.
std::vector<TPreviewRow> PreviewRenameFromTags(const std::vector<std::string>& Paths,
                                               const TDeriveFormat& Format,
                                               const TagCodec& Codec = TagCodec::Default(),
                                               const ProgressScope* Progress = nullptr,
                                               std::size_t Jobs = 0);
// The preview of RenameFromTagsRun over the selected file rows, with the progress window.
std::vector<TPreviewRow> RenamePreviewRun(const TFileList& List, const TDeriveFormat& Format,
                                          IProgress* Progress);

struct TRenamed {
    std::string OldPath, NewPath;
};

struct TRenameRun {
    std::vector<TRenamed> Renamed;
    TFileFailures Failures;
};

// Renames every selected file row from its tag, in list order; files whose names cannot be
// built are left alone, failures are listed and the run goes on. An empty how-to list renames
// nothing. The caller searches the directory again afterwards.
TRenameRun RenameFromTagsRun(const TFileList& List, const TDeriveFormat& Format,
                             IProgress* Progress);
// "Renaming 12 files, please wait..."
std::string RenameProgressCaption(std::size_t Selected);

} // namespace veltrane
