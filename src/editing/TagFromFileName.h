#pragma once
// Filling tags from file names such as "Band - Song.mp3" by the derive format.

#include "browser/FileList.h"
#include "browser/Progress.h"
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

// Strips blanks, quotes, apostrophes and round and square brackets from both ends.
std::string SmartCut(std::string_view Piece);

// The file's own name: everything after the last '/'.
std::string NameWithoutDirectory(std::string_view Path);

// Cuts Name into pieces at the separator (the last piece ends at ".mp3", any letter case) and
// stores them, in how-to order, into the fields of Tag. Fields without a piece keep their value.
// A track piece sets Track when it is one to three digits of value 1 to 255; any other leaves
// Track as it is and returns false (true otherwise).
bool CutNameIntoFields(std::string_view Name, const TDeriveFormat& Format, bool SmartCutOn,
                       TMP3Tag& Tag);

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
bool DeriveFromFileName(TMP3Tag& Tag, const TDeriveFormat& Format, const TDeriveOptions& Options);

// "tags from file names of 12 files"
std::string DeriveDescription(std::size_t Files);

// Derives and writes the tag of every file of Paths as one journal step (see RunTagStep);
// an empty how-to list changes no file.
// BadTrack, when given, gets the files whose track pieces were no track number.
TFileFailures DeriveFromFileNames(const std::vector<std::string>& Paths, const TDeriveFormat& Format,
                                  const TDeriveOptions& Options, const TagCodec& Codec,
                                  const std::function<void(const TMP3Tag&)>& Written,
                                  const ProgressScope* Progress,
                                  std::vector<std::string>* BadTrack = nullptr);

// BitBtnOKClick: derives, writes and rebuilds the row of every selected file row in list
// order. An empty how-to list changes no file. A file that fails is listed and the run goes
// on with the next one. Notes, when given, gets what the user is told afterwards.
TFileFailures DeriveRun(TFileList& List, const TDeriveFormat& Format, const TDeriveOptions& Options,
                        IProgress* Progress, TRunNotes* Notes = nullptr);
// "Deriving 12 tags, please wait..."
std::string DeriveProgressCaption(std::size_t Selected);

} // namespace veltrane
