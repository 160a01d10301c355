#include "editing/CodePageCheck.h"

#include "browser/CodePageChoice.h"
#include "browser/ErrorText.h"

#include "tagcore/CodePageGuess.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"
#include "tagcore/Utf8.h"

#include <algorithm>

namespace veltrane {

std::string UnencodableChars(std::string_view Utf8, const TagCodec& Codec) {
    std::u32string seen;
    std::string result;
    for (std::size_t i = 0; i < Utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = NextCodePoint(Utf8, i, cp);
        if (length == 0) {
            ++i; // invalid bytes are written as they are
            continue;
        }
        const std::string_view one = Utf8.substr(i, length);
        i += length;
        if (cp < 0x80 || seen.find(cp) != std::u32string::npos)
            continue;
        if (Codec.Encode(one) == "?") {
            seen += cp;
            result += one;
        }
    }
    return result;
}

std::vector<TNamedText> LossyFields(const std::vector<TNamedText>& Fields, const TagCodec& Codec) {
    std::vector<TNamedText> lossy;
    for (const TNamedText& field : Fields) {
        std::string chars = UnencodableChars(field.Text, Codec);
        if (!chars.empty())
            lossy.push_back({field.Name, std::move(chars)});
    }
    return lossy;
}

std::vector<const TagCodec*> WriteCodecs(const TagCodec& Base, const std::vector<TCodePageId>& Ids) {
    std::vector<const TagCodec*> codecs;
    for (const TCodePageId id : Ids) {
        const TagCodec* codec = &Base.ForTag(id);
        if (std::find_if(codecs.begin(), codecs.end(), [&](const TagCodec* c) {
                return c->Name() == codec->Name();
            }) == codecs.end())
            codecs.push_back(codec);
    }
    if (codecs.empty())
        codecs.push_back(&Base.ForTag(0));
    return codecs;
}

std::string FieldHintIn(std::string_view Utf8, std::size_t MaxBytes,
                        const std::vector<const TagCodec*>& Codecs) {
    if (Codecs.size() == 1)
        return FieldHint(Utf8, MaxBytes, *Codecs.front());
    std::string hints;
    for (const TagCodec* codec : Codecs) {
        const std::string hint = FieldHint(Utf8, MaxBytes, *codec);
        if (hint.empty())
            continue;
        if (!hints.empty())
            hints += '\n';
        hints += ShownCodePageCaption(codec->Name()) + ": " + hint;
    }
    return hints;
}

std::pair<const TagCodec*, std::vector<TNamedText>>
LossyFieldsIn(const std::vector<TNamedText>& Fields, const std::vector<const TagCodec*>& Codecs) {
    for (const TagCodec* codec : Codecs) {
        std::vector<TNamedText> lossy = LossyFields(Fields, *codec);
        if (!lossy.empty())
            return {codec, std::move(lossy)};
    }
    return {nullptr, {}};
}

std::string CodePagesLine(const std::vector<const TagCodec*>& Codecs) {
    std::string names;
    for (const TagCodec* codec : Codecs)
        names += (names.empty() ? "" : ", ") + ShownCodePageCaption(codec->Name());
    return FillText(Codecs.size() == 1 ? UiText("CodePageCheck", "Code page: %1")
                                       : UiText("CodePageCheck", "Code pages: %1"),
                    {names});
}

std::string FieldHint(std::string_view Utf8, std::size_t MaxBytes, const TagCodec& Codec) {
    std::string hint;
    const std::string lost = UnencodableChars(Utf8, Codec);
    if (!lost.empty())
        hint = FillText(UiText("CodePageCheck", "becomes \"?\": %1"), {lost});
    // Where the code page's bytes pass the limit, in the text as typed.
    std::size_t bytes = 0, i = 0;
    while (i < Utf8.size()) {
        char32_t cp = 0;
        std::size_t length = NextCodePoint(Utf8, i, cp);
        if (length == 0)
            length = 1; // an invalid byte is written as it is
        const std::size_t encoded = Codec.Encode(Utf8.substr(i, length)).size();
        if (bytes + encoded > MaxBytes)
            break;
        bytes += encoded;
        i += length;
    }
    if (i < Utf8.size())
        hint += (hint.empty() ? "" : "; ") +
                FillText(UiText("CodePageCheck", "cut after %1 characters: \"%2\" is left out"),
                         {std::to_string(MaxBytes), Utf8.substr(i)});
    return hint;
}

bool TagIsLossy(const TMP3Tag& Tag, const TagCodec& Codec) {
    const std::string* fields[] = {&Tag.Title, &Tag.Artist, &Tag.Album, &Tag.Year, &Tag.Comment};
    return std::any_of(std::begin(fields), std::end(fields), [&](const std::string* field) {
        return !UnencodableChars(*field, Codec.ForTag(Tag.CodePage)).empty();
    });
}

std::string LossyFieldsQuestion(const std::vector<TNamedText>& Lossy, const TagCodec& Codec) {
    std::string text = FillText(UiText("CodePageCheck", "The tag's code page (%1) cannot hold "
                                                        "these characters; they will be saved "
                                                        "as \"?\":"),
                                {Codec.Name()});
    for (const TNamedText& field : Lossy)
        text += "\n" + field.Name + ": " + field.Text;
    text += "\n\n" + UiText("CodePageCheck", "Save anyway?");
    return text;
}

std::string LossyFilesReport(const std::vector<std::string>& Paths, std::size_t MaxLines) {
    return ListedLinesMessage(
        UiText("CodePageCheck", "In the tags of these files, characters the tag's code page cannot "
                                "hold were saved as \"?\":"),
        Paths, MaxLines);
}

std::string CommentCutReport(const std::vector<std::string>& Paths, std::size_t MaxLines) {
    return ListedLinesMessage(
        UiText("CodePageCheck",
               "In the tags of these files the comment was cut to 28 characters to "
               "make room for the track number:"),
        Paths, MaxLines);
}

std::string BadTrackPiecesReport(const std::vector<std::string>& Paths, std::size_t MaxLines) {
    return ListedLinesMessage(
        UiText("CodePageCheck", "In the names of these files the track is not a number from 1 to "
                                "255; their tracks were left as they were:"),
        Paths, MaxLines);
}

std::string MorePiecesReport(const std::vector<std::string>& Paths, std::size_t MaxLines) {
    return ListedLinesMessage(
        UiText("CodePageCheck",
               "The names of these files have more pieces than fields; the rest of "
               "each name was not used:"),
        Paths, MaxLines);
}

std::string StoreNote(std::string_view Utf8, std::size_t Room, const TagCodec& Codec) {
    const std::string lost = UnencodableChars(Utf8, Codec);
    if (!lost.empty())
        return "the code page has no " + lost;
    if (Codec.Encode(Utf8).size() > Room)
        return "cut to " + std::to_string(Room) + " bytes";
    return {};
}

void TRunNotes::NoteWritten(const TMP3Tag& Tag, const TagCodec& Codec) {
    if (TagIsLossy(Tag, Codec))
        Lossy.push_back(Tag.FileName);
    if (CommentCutByTrack(Tag, Codec))
        CommentCut.push_back(Tag.FileName);
}

std::vector<std::string> TRunNotes::Messages() const {
    std::vector<std::string> messages;
    if (!Lossy.empty())
        messages.push_back(LossyFilesReport(Lossy));
    if (!CommentCut.empty())
        messages.push_back(CommentCutReport(CommentCut));
    if (!BadTrack.empty())
        messages.push_back(BadTrackPiecesReport(BadTrack));
    if (!MorePieces.empty())
        messages.push_back(MorePiecesReport(MorePieces));
    return messages;
}

} // namespace veltrane
