#pragma once
// Numbering tracks: the selected files get the track numbers start, start + 1, ... in list
// order, as one step of the change journal.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/CodePageCheck.h"
#include "editing/RunFailures.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrane {

struct TNumberOptions {
    unsigned Start = 1; // 1 to 255
    // Files that have a track keep it and use up no number.
    bool KeepExisting = false;
};

// A numbering that would pass 255 (or a start outside 1 to 255); nothing was written.
class ETrackRange : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "Track numbers end at 255: numbering from 250 fits 6 of these 10 files."
std::string TrackRangeMessage(unsigned Start, std::size_t Files);

// "number tracks of 12 files"
std::string NumberTracksDescription(std::size_t Files);
// "Numbering 12 tracks, please wait..."
std::string NumberTracksProgressCaption(std::size_t Selected);

// Numbers the files of Paths in their order (a path named twice counts once) as one journal
// step; a file that cannot be read still uses up its number, so the others keep their places.
// With KeepExisting the tags are read first, and the files that have a track are not written.
// Throws ETrackRange, writing nothing, when the numbers would pass 255. Written gets each
// record written.
TFileFailures NumberTracks(const std::vector<std::string>& Paths, const TNumberOptions& Options,
                           const TagCodec& Codec,
                           const std::function<void(const TMP3Tag&)>& Written,
                           const ProgressScope* Progress);

// "Number tracks...": numbers the selected file rows in list order and rebuilds their rows.
// Notes, when given, gets the files whose comments were cut for the track.
TFileFailures NumberTracksRun(TFileList& List, const TNumberOptions& Options, IProgress* Progress,
                              TRunNotes* Notes = nullptr);

} // namespace veltrane
