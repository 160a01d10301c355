#include "editing/TagFromFileName.h"

#include "editing/CodePageCheck.h"

#include "editing/JournaledSteps.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <algorithm>

namespace veltrane {

namespace {

bool IsTrimChar(char c) {
    switch (c) {
    case ' ':
    case '"':
    case '\'':
    case '(':
    case ')':
    case '[':
    case ']':
        return true;
    default:
        return false;
    }
}

std::string AsciiUpper(std::string_view Text) {
    std::string upper(Text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

} // namespace

std::string SmartCut(std::string_view Piece) {
    while (!Piece.empty() && IsTrimChar(Piece.front()))
        Piece.remove_prefix(1);
    while (!Piece.empty() && IsTrimChar(Piece.back()))
        Piece.remove_suffix(1);
    return std::string(Piece);
}

std::string NameWithoutDirectory(std::string_view Path) {
    const std::size_t slash = Path.rfind('/');
    return std::string(slash == std::string_view::npos ? Path : Path.substr(slash + 1));
}

bool CutNameIntoFields(std::string_view Name, const TDeriveFormat& Format, bool SmartCutOn,
                       TMP3Tag& Tag) {
    bool trackOk = true;
    const std::vector<std::string>& howTo = Format.HowTo();
    const std::string& separator = Format.Separator();
    std::string name(Name);
    std::size_t k = 0;
    bool last = howTo.empty();
    while (!last) {
        std::size_t p = separator.empty() ? std::string::npos : name.find(separator);
        if (p == std::string::npos) {
            p = AsciiUpper(name).find(".MP3");
            last = true;
        }
        if (p == std::string::npos)
            break;
        std::string piece = name.substr(0, p);
        name.erase(0, std::min(name.size(), p + separator.size()));
        if (SmartCutOn)
            piece = SmartCut(piece);
        const char code = howTo[k].empty() ? '\0' : howTo[k].front();
        if (std::string* field = TagFieldOf(Tag, code)) {
            *field = std::move(piece);
        } else if (code == kTrackCode) {
            const std::optional<std::uint8_t> track = ParseTrack(piece);
            if (track && *track != 0)
                Tag.Track = *track;
            else
                trackOk = false;
        }
        if (++k == howTo.size())
            last = true;
    }
    return trackOk;
}

bool DeriveFromFileName(TMP3Tag& Tag, const TDeriveFormat& Format, const TDeriveOptions& Options) {
    if (Options.ClearTag || Tag.Header != "TAG")
        ClearMP3Tag(Tag);
    return CutNameIntoFields(NameWithoutDirectory(Tag.FileName), Format, Options.SmartCut, Tag);
}

TMP3Tag TagFromFileName(const std::string& Path, const TDeriveFormat& Format,
                        const TDeriveOptions& Options, const TagCodec& Codec) {
    TMP3Tag tag = GetMP3Tag(Path, Codec);
    DeriveFromFileName(tag, Format, Options);
    return tag;
}

std::string DeriveDescription(std::size_t Files) {
    return "tags from file names of " + FileCount(Files);
}

TFileFailures DeriveFromFileNames(const std::vector<std::string>& Paths, const TDeriveFormat& Format,
                                  const TDeriveOptions& Options, const TagCodec& Codec,
                                  const std::function<void(const TMP3Tag&)>& Written,
                                  const ProgressScope* Progress,
                                  std::vector<std::string>* BadTrack) {
    if (Format.HowTo().empty())
        return {};
    return RunTagStep(
        Paths, DeriveDescription,
        [&](TMP3Tag& tag) {
            if (!DeriveFromFileName(tag, Format, Options) && BadTrack)
                BadTrack->push_back(tag.FileName);
        },
        Codec, Written, Progress);
}

std::string DeriveProgressCaption(std::size_t Selected) {
    return FillText(UiText("TagFromFileName", "Deriving %1 tags, please wait..."),
                    {std::to_string(Selected)});
}

TFileFailures DeriveRun(TFileList& List, const TDeriveFormat& Format, const TDeriveOptions& Options,
                        IProgress* Progress, TRunNotes* Notes) {
    if (Format.HowTo().empty())
        return {};
    const std::size_t selected = List.SelCount();
    ProgressScope progress(Progress, DeriveProgressCaption(selected), selected);
    return DeriveFromFileNames(SelectedFilePaths(List), Format, Options, TagCodec::Default(),
                               [&](const TMP3Tag& tag) {
                                   if (Notes)
                                       Notes->NoteWritten(tag);
                                   List.SingleUpdate(tag);
                               },
                               &progress, Notes ? &Notes->BadTrack : nullptr);
}

} // namespace veltrane
