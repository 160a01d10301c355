#pragma once
// Filling tags from file names such as "Band - Song.mp3" by the derive format.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/ChangePreview.h"
#include "editing/CodePageCheck.h"
#include "editing/DeriveFormatModel.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// Strips blanks from both ends, and quotes, apostrophes and round and square brackets at an
// end when they have no partner in the piece or enclose it (or nothing): " (Live) " gives
// "Live", "'Til Dawn" "Til Dawn", while "Rock (Remix)" stays whole. Brackets pair by nesting,
// quotes of a kind one after the other.
std::string SmartCut(std::string_view Piece);

// The file's own name: everything after the last '/'.
std::string NameWithoutDirectory(std::string_view Path);

// What a cut left unused.
struct TNameCut {
    std::string BadTrackPiece; // a track piece that is no track number
    bool BadTrack = false;     // there was one (the piece may be empty)
    // The text after the last field's piece, up to the extension, when it holds more than
    // blanks, quotes and brackets: the name has more pieces than the format has fields.
    std::string LeftOver;
};

// Cuts Name into pieces at the separator (the last piece ends at ".mp3", any letter case) and
// stores them, in how-to order, into the fields of Tag. Fields without a piece keep their value.
// A track piece sets Track when it is one to three digits of value 1 to 255; any other leaves
// Track as it is and returns false (true otherwise). Cut, when given, gets what went unused.
bool CutNameIntoFields(std::string_view Name, const TDeriveFormat& Format, bool SmartCutOn,
                       TMP3Tag& Tag, TNameCut* Cut = nullptr);

struct TDeriveOptions {
    bool SmartCut = true;
    bool ClearTag = false;
};

// The record one file gets from its name: its present tag (or an empty one) with the named
// fields replaced. Reads the tag; throws EInOutError when it cannot.
TMP3Tag TagFromFileName(const std::string& Path, const TDeriveFormat& Format,
                        const TDeriveOptions& Options, const TagCodec& Codec = TagCodec::Default());

// The same on a record read already (its FileName names the file); false when its track
// piece was no track number.
bool DeriveFromFileName(TMP3Tag& Tag, const TDeriveFormat& Format, const TDeriveOptions& Options,
                        TNameCut* Cut = nullptr);

// "tags from file names of 12 files"
std::string DeriveDescription(std::size_t Files);

// Derives and writes the tag of every file of Paths as one journal step (see RunTagStep);
// an empty how-to list changes no file.
// BadTrack, when given, gets the files whose track pieces were no track number; MorePieces
// those whose names had more pieces than fields.
TFileFailures DeriveFromFileNames(const std::vector<std::string>& Paths,
                                  const TDeriveFormat& Format, const TDeriveOptions& Options,
                                  const TagCodec& Codec,
                                  const std::function<void(const TMP3Tag&)>& Written,
                                  const ProgressScope* Progress,
                                  std::vector<std::string>* BadTrack = nullptr,
                                  std::vector<std::string>* MorePieces = nullptr);

// What DeriveFromFileNames would do, writing nothing: per file a row for each field that
// changes, or one "unchanged" row; a file that cannot be read, and a track piece that is no
// number, are rows that cannot be done; a name with more pieces than fields marks its rows
// "more pieces than fields". Jobs as for TOrderedReader.
std::vector<TPreviewRow>
PreviewDeriveFromFileNames(const std::vector<std::string>& Paths, const TDeriveFormat& Format,
                           const TDeriveOptions& Options, const TagCodec& Codec,
                           const ProgressScope* Progress = nullptr, std::size_t Jobs = 0);
// The preview of DeriveRun over the selected file rows, with the progress window.
std::vector<TPreviewRow> DerivePreviewRun(const TFileList& List, const TDeriveFormat& Format,
                                          const TDeriveOptions& Options, IProgress* Progress);
// "Reading 12 tags, please wait..."
std::string PreviewProgressCaption(std::size_t Files);

// BitBtnOKClick: derives, writes and rebuilds the row of every selected file row in list
// order. An empty how-to list changes no file. A file that fails is listed and the run goes
// on with the next one. Notes, when given, gets what the user is told afterwards.
TFileFailures DeriveRun(TFileList& List, const TDeriveFormat& Format, const TDeriveOptions& Options,
                        IProgress* Progress, TRunNotes* Notes = nullptr);
// "Deriving 12 tags, please wait..."
std::string DeriveProgressCaption(std::size_t Selected);

} // namespace veltrane
