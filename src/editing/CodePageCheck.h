#pragma once
// Characters the tag's code page cannot hold are written as "?". The editors still save that
// way, but say so first, and the runs over many files name the files it happened to.

#include "tagcore/MP3Tag.h"
#include "tagcore/TagCodec.h"

#include <string>
#include <utility>
#include <string_view>
#include <vector>

namespace veltrane {

// The characters of Utf8 that Codec cannot hold, each once, in order of appearance (UTF-8).
std::string UnencodableChars(std::string_view Utf8, const TagCodec& Codec = TagCodec::Default());

struct TNamedText {
    std::string Name; // the field's caption ("Song", "Artist", ...)
    std::string Text; // UTF-8
};

// The fields that hold such characters, with only those characters as their Text.
std::vector<TNamedText> LossyFields(const std::vector<TNamedText>& Fields,
                                    const TagCodec& Codec = TagCodec::Default());

// True when a text field of Tag holds such a character.
bool TagIsLossy(const TMP3Tag& Tag, const TagCodec& Codec = TagCodec::Default());

// The question before a save: which characters, in which fields, become "?".
std::string LossyFieldsQuestion(const std::vector<TNamedText>& Lossy,
                                const TagCodec& Codec = TagCodec::Default());

// The hint beside a field while it is typed: which characters the code page turns into "?"
// and, when the text takes more than MaxBytes bytes in the code page, what is cut off. Empty
// when the text is written as it stands.
std::string FieldHint(std::string_view Utf8, std::size_t MaxBytes,
                      const TagCodec& Codec = TagCodec::Default());

// The codecs that writing tags read in the code pages Ids with Base writes them in: each
// distinct one once, in order of first appearance.
std::vector<const TagCodec*> WriteCodecs(const TagCodec& Base, const std::vector<TCodePageId>& Ids);
// FieldHint for text written in several code pages: a single one's hint as it is, several
// ones' hints each after its code page's caption, one a line.
std::string FieldHintIn(std::string_view Utf8, std::size_t MaxBytes,
                        const std::vector<const TagCodec*>& Codecs);
// LossyFields over several code pages: the first one that loses a character, with its fields.
std::pair<const TagCodec*, std::vector<TNamedText>>
LossyFieldsIn(const std::vector<TNamedText>& Fields, const std::vector<const TagCodec*>& Codecs);
// The line an editor shows under its fields: "Code page: Cyrillic (Windows-1251)", "Code
// pages: ..." for several.
std::string CodePagesLine(const std::vector<const TagCodec*>& Codecs);

// The end message of a run: the files whose tags got "?" (at most MaxLines, then "... and N
// more"). Paths are passed through as bytes.
std::string LossyFilesReport(const std::vector<std::string>& Paths, std::size_t MaxLines = 20);

// The end message of a run whose comments were cut to 28 bytes to make room for the track.
std::string CommentCutReport(const std::vector<std::string>& Paths, std::size_t MaxLines = 20);
// The end message of a run whose file names held track pieces that are no track number.
std::string BadTrackPiecesReport(const std::vector<std::string>& Paths, std::size_t MaxLines = 20);

// The note a preview shows beside a new field value: "the code page has no €" when Codec
// cannot hold a character, else "cut to 30 bytes" when it is longer than Room; "" otherwise.
std::string StoreNote(std::string_view Utf8, std::size_t Room,
                      const TagCodec& Codec = TagCodec::Default());

// The end message of a run whose file names had more pieces than the format has fields.
std::string MorePiecesReport(const std::vector<std::string>& Paths, std::size_t MaxLines = 20);

// What a run over many files tells afterwards, one message each: the files whose tags got
// "?", whose comments were cut for their tracks, whose names held no track number, and whose
// names had more pieces than fields.
struct TRunNotes {
    std::vector<std::string> Lossy, CommentCut, BadTrack, MorePieces;
    // Notes Lossy and CommentCut of a tag as written.
    void NoteWritten(const TMP3Tag& Tag, const TagCodec& Codec = TagCodec::Default());
    // The messages, in that order; those without files left out.
    std::vector<std::string> Messages() const;
};

} // namespace veltrane
