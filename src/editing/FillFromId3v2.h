#pragma once
// "Fill ID3v1 from ID3v2": the selected files' ID3v1 tags take the values of their ID3v2
// tags, as one step of the change journal. Only the 128-byte ID3v1 tag is written (appended
// when the file has none); the ID3v2 tag and the audio stay as they are.

#include "browser/FileList.h"
#include "browser/Progress.h"
#include "editing/RunFailures.h"
#include "id3v2/Id3v2Reader.h"
#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

enum TFillField : unsigned {
    ffTitle = 1,
    ffArtist = 2,
    ffAlbum = 4,
    ffYear = 8,
    ffComment = 16,
    ffGenre = 32,
    ffTrack = 64,
    ffAll = 127,
};

struct TFillOptions {
    unsigned Fields = ffAll;
    // Off: only fields that are empty in the ID3v1 tag (blank text, genre 255, track 0) are
    // filled. On: every chosen field the ID3v2 tag has a value for is replaced.
    bool Overwrite = false;
};

// The field names as the command line and the reports give them: "title", "artist", "album",
// "year", "comment", "genre", "track".
std::string_view FillFieldName(TFillField Field);
// "title,album,track" (any order, letter case aside); "all". Throws std::invalid_argument
// naming the first unknown name.
unsigned ParseFillFields(std::string_view List);

// Puts the chosen values of V into Tag (a record without a tag starts empty). Returns true
// when the record changed; Cut gets the names of the fields the ID3v1 widths cut (30 bytes,
// 4 for the year, 28 for a comment beside a track).
bool ApplyId3v2Values(TMP3Tag& Tag, const TId3v2Values& V, const TFillOptions& Options,
                      const TagCodec& Codec, std::vector<std::string>* Cut = nullptr);

struct TFillResult {
    std::size_t Filled = 0;     // files written
    std::size_t Unchanged = 0;  // files that had nothing to fill
    TFileFailures Failures;     // no readable ID3v2 tag, read and write errors; in list order
    // Per file (Error holding the note): the fields the widths cut ("title, comment"), the
    // fields whose texts got "?" ("artist (ü)"), the genre and the track not taken.
    TFileFailures Cut, Lossy, UnknownGenre, BadTrack;
};

// "fill ID3v1 from ID3v2 of 12 files"
std::string FillDescription(std::size_t Files);
// "Filling 12 tags, please wait..."
std::string FillProgressCaption(std::size_t Selected);

// Reads the ID3v2 tags of Paths, Jobs at a time (0: the reader's choice), then writes the
// ID3v1 tags that change as one journal step. A path named twice is done once. Written gets
// each record written.
TFillResult FillFromId3v2(const std::vector<std::string>& Paths, const TFillOptions& Options,
                          const TagCodec& Codec, std::size_t Jobs,
                          const std::function<void(const TMP3Tag&)>& Written,
                          const ProgressScope* Progress);

// The selected file rows of List, each changed row rebuilt.
TFillResult FillFromId3v2Run(TFileList& List, const TFillOptions& Options, IProgress* Progress);

// The one message after a run: how many files were filled, then the files that failed,
// were cut, lost characters or kept their genre or track.
std::string FillReport(const TFillResult& Result, std::size_t MaxLines = 20);

} // namespace veltrane
