#pragma once
// Converting tags from one code page to another: every text field is decoded in the code page
// the file was read in and written in the target. A file whose text the target cannot hold,
// or would cut, is refused whole: a converted tag must read as it did.

#include "editing/ChangePreview.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <optional>
#include <string>
#include <vector>

namespace veltrane {

// Why Tag (read with its CodePage) cannot be converted to To: "WINDOWS-1252 cannot hold
// "Ж" (title)", "would be cut in CP932 (album)", "holds bytes that are no character of
// CP936 (artist)"; nothing when it can.
std::optional<std::string> RecodeRefusal(const TMP3Tag& Tag, const TagCodec& To);

struct TRecodeResult {
    TFileFailures Refused;   // the target cannot hold or would cut their text: left alone
    TFileFailures Failures;  // could not be read or written
    std::vector<std::string> Converted; // in Paths order
    std::vector<std::string> Unchanged; // no tag, ASCII text, or already in the target
    // Per field that changes its bytes: Old as the target code page reads the bytes now,
    // New as it reads them converted; a refused file's row names why.
    std::vector<TPreviewRow> Preview;
};

// Reads each file of Paths with From ("auto" decides per file), then converts every file that
// is not refused in one journaled step. DryRun writes and records nothing.
TRecodeResult RecodeFiles(const std::vector<std::string>& Paths, const TagCodec& From,
                          const TagCodec& To, bool DryRun);

class TFileList;
// The window's run over List's selected files, read as FromName ("auto" uses the list's own
// judge when the list reads with "auto") and written in ToName; the rows of the converted
// files are read again. Throws std::invalid_argument for an unknown name.
TRecodeResult RecodeSelected(TFileList& List, const std::string& FromName,
                             const std::string& ToName, bool DryRun);
// "converting 1 file", "converting 12 files"
std::string RecodeHeadline(std::size_t Selected);

} // namespace veltrane
