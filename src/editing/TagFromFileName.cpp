#include "editing/TagFromFileName.h"
#include "editing/SyncV2.h"

#include "editing/CodePageCheck.h"

#include "editing/JournaledSteps.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <algorithm>

namespace veltrane {

namespace {

bool IsBracketOrQuote(char c) {
    switch (c) {
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

bool IsWordByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
}

bool OnlyBlanks(std::string_view Text) {
    return Text.find_first_not_of(' ') == std::string_view::npos;
}

// The partner of each bracket and quote of Piece, npos for none. Brackets pair by nesting;
// quotes of a kind pair one after the other; an apostrophe inside a word ("Don't") is no quote.
std::vector<std::size_t> Partners(std::string_view Piece) {
    constexpr std::size_t none = std::string_view::npos;
    std::vector<std::size_t> partner(Piece.size(), none);
    std::vector<std::size_t> open;
    std::size_t quote[2] = {none, none};
    const auto pair = [&](std::size_t a, std::size_t b) {
        partner[a] = b;
        partner[b] = a;
    };
    for (std::size_t i = 0; i < Piece.size(); ++i) {
        const char c = Piece[i];
        if (c == '(' || c == '[') {
            open.push_back(i);
        } else if (c == ')' || c == ']') {
            if (!open.empty() && Piece[open.back()] == (c == ')' ? '(' : '[')) {
                pair(open.back(), i);
                open.pop_back();
            }
        } else if (c == '"' || c == '\'') {
            if (c == '\'' && i > 0 && i + 1 < Piece.size() && IsWordByte(Piece[i - 1]) &&
                IsWordByte(Piece[i + 1]))
                continue;
            std::size_t& pending = quote[c == '"' ? 0 : 1];
            if (pending == none) {
                pending = i;
            } else {
                pair(pending, i);
                pending = none;
            }
        }
    }
    return partner;
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
    constexpr std::size_t none = std::string_view::npos;
    for (;;) {
        while (!Piece.empty() && Piece.front() == ' ')
            Piece.remove_prefix(1);
        while (!Piece.empty() && Piece.back() == ' ')
            Piece.remove_suffix(1);
        if (Piece.empty())
            break;
        const std::vector<std::size_t> partner = Partners(Piece);
        const std::size_t last = Piece.size() - 1;
        if (IsBracketOrQuote(Piece.front())) {
            const std::size_t p = partner.front();
            if (p == none) {
                Piece.remove_prefix(1);
                continue;
            }
            if (p == last) {
                Piece = Piece.substr(1, last - 1);
                continue;
            }
            if (OnlyBlanks(Piece.substr(1, p - 1))) { // "() Song"
                Piece.remove_prefix(p + 1);
                continue;
            }
        }
        if (IsBracketOrQuote(Piece.back())) {
            const std::size_t p = partner.back();
            if (p == none) {
                Piece.remove_suffix(1);
                continue;
            }
            if (OnlyBlanks(Piece.substr(p + 1, last - p - 1))) { // "Song ()"
                Piece.remove_suffix(Piece.size() - p);
                continue;
            }
        }
        break;
    }
    return std::string(Piece);
}

std::string NameWithoutDirectory(std::string_view Path) {
    const std::size_t slash = Path.rfind('/');
    return std::string(slash == std::string_view::npos ? Path : Path.substr(slash + 1));
}

bool CutNameIntoFields(std::string_view Name, const TDeriveFormat& Format, bool SmartCutOn,
                       TMP3Tag& Tag, TNameCut* Cut) {
    bool trackOk = true;
    const std::vector<std::string>& howTo = Format.HowTo();
    const std::string& separator = Format.Separator();
    std::string name(Name);
    std::size_t k = 0;
    bool last = howTo.empty();
    bool atExtension = false;
    while (!last) {
        std::size_t p = separator.empty() ? std::string::npos : name.find(separator);
        if (p == std::string::npos) {
            p = AsciiUpper(name).find(".MP3");
            last = atExtension = true;
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
            if (track && *track != 0) {
                Tag.Track = *track;
            } else {
                trackOk = false;
                if (Cut) {
                    Cut->BadTrackPiece = piece;
                    Cut->BadTrack = true;
                }
            }
        }
        if (++k == howTo.size())
            last = true;
    }
    // Every field took a piece before the extension came: what is left of the name goes unused.
    if (Cut && !atExtension && !howTo.empty() && k == howTo.size()) {
        std::string rest = SmartCut(name.substr(0, AsciiUpper(name).find(".MP3")));
        if (!rest.empty())
            Cut->LeftOver = std::move(rest);
    }
    return trackOk;
}

bool DeriveFromFileName(TMP3Tag& Tag, const TDeriveFormat& Format, const TDeriveOptions& Options,
                        TNameCut* Cut) {
    if (Options.ClearTag || Tag.Header != "TAG")
        ClearMP3Tag(Tag);
    return CutNameIntoFields(NameWithoutDirectory(Tag.FileName), Format, Options.SmartCut, Tag,
                             Cut);
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

TFileFailures DeriveFromFileNames(const std::vector<std::string>& Paths,
                                  const TDeriveFormat& Format, const TDeriveOptions& Options,
                                  const TagCodec& Codec,
                                  const std::function<void(const TMP3Tag&)>& Written,
                                  const ProgressScope* Progress, std::vector<std::string>* BadTrack,
                                  std::vector<std::string>* MorePieces) {
    if (Format.HowTo().empty())
        return {};
    return RunTagStep(
        Paths, DeriveDescription,
        [&](TMP3Tag& tag) {
            TNameCut cut;
            if (!DeriveFromFileName(tag, Format, Options, &cut) && BadTrack)
                BadTrack->push_back(tag.FileName);
            if (!cut.LeftOver.empty() && MorePieces)
                MorePieces->push_back(tag.FileName);
        },
        Codec, Written, Progress);
}

namespace {

struct TPreviewField {
    const char* Name;
    std::size_t Room; // bytes in the tag; 0 for the genre and the track
    std::string (*Text)(const TMP3Tag&);
};

const TPreviewField kPreviewFields[] = {
    {"title", 30, [](const TMP3Tag& t) { return t.Title; }},
    {"artist", 30, [](const TMP3Tag& t) { return t.Artist; }},
    {"album", 30, [](const TMP3Tag& t) { return t.Album; }},
    {"year", 4, [](const TMP3Tag& t) { return t.Year; }},
    {"genre", 0,
     [](const TMP3Tag& t) { return t.Genre == 255 ? std::string() : RTrim(ByteToStyle(t.Genre)); }},
    {"comment", 30, [](const TMP3Tag& t) { return t.Comment; }},
    {"track", 0, [](const TMP3Tag& t) { return TrackText(t.Track); }},
};

// The rows of one file: Old as read, New as the derive made it.
void AddDeriveRows(std::vector<TPreviewRow>& Rows, const TMP3Tag& Old, const TMP3Tag& New,
                   const TNameCut& Cut, const TagCodec& Codec) {
    const std::string& path = Old.FileName;
    const bool tagged = Old.Header == "TAG";
    // What the file will hold: a piece longer than its field is cut, and so on.
    const TMP3Tag stored = ParseTagBytes(BuildTagBytes(New, Codec), Codec.ForTag(New.CodePage));
    const std::size_t first = Rows.size();
    for (const TPreviewField& field : kPreviewFields) {
        const std::string before = tagged ? field.Text(Old) : std::string();
        const std::string after = field.Text(New);
        const bool track = std::string_view(field.Name) == "track";
        if (track && Cut.BadTrack) {
            Rows.push_back({path, field.Name, before, Cut.BadTrackPiece,
                            "not a track number from 1 to 255; the track is left as it is",
                            TPreviewState::psFailed});
            continue;
        }
        if (field.Text(stored) == before)
            continue;
        std::string note;
        if (field.Room != 0) {
            const bool comment = std::string_view(field.Name) == "comment";
            note = StoreNote(after, comment && New.Track != 0 ? kCommentWidthWithTrack : field.Room,
                             Codec);
        } else if (track && New.Track != 0 && CommentCutByTrack(New, Codec))
            note = "the comment is cut to 28 characters";
        Rows.push_back({path, field.Name, before, after, std::move(note), TPreviewState::psChange});
    }
    if (const TSyncV2* sync = ActiveSyncV2(); sync && sync->Enabled && Rows.size() != first)
        for (TPreviewRow& row : V2PreviewRows(path, Old, New, Codec))
            Rows.push_back(std::move(row));
    if (Rows.size() == first)
        Rows.push_back({path, "", "", "", std::string(kNoteUnchanged), TPreviewState::psUnchanged});
    if (Cut.LeftOver.empty())
        return;
    for (std::size_t i = first; i < Rows.size(); ++i) {
        TPreviewRow& row = Rows[i];
        AddNote(row.Note,
                FillText(UiText("ChangePreview", "more pieces than fields: \"%1\" is not used"),
                         {Cut.LeftOver}));
        if (row.State != TPreviewState::psFailed)
            row.State = TPreviewState::psWarning;
    }
}

} // namespace

std::vector<TPreviewRow>
PreviewDeriveFromFileNames(const std::vector<std::string>& Paths, const TDeriveFormat& Format,
                           const TDeriveOptions& Options, const TagCodec& Codec,
                           const ProgressScope* Progress, std::size_t Jobs) {
    std::vector<TPreviewRow> rows;
    if (Format.HowTo().empty())
        return rows;
    TOrderedReader<TMP3Tag> reader(Paths.size(), Jobs,
                                   [&](std::size_t k) { return GetMP3Tag(Paths[k], Codec); });
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        TMP3Tag old;
        try {
            old = reader.Next();
        } catch (const EInOutError& e) {
            rows.push_back({Paths[i], "", "", "", InOutErrorText(e), TPreviewState::psFailed});
            continue;
        } catch (const std::exception& e) {
            rows.push_back({Paths[i], "", "", "", e.what(), TPreviewState::psFailed});
            continue;
        }
        TMP3Tag derived = old;
        TNameCut cut;
        DeriveFromFileName(derived, Format, Options, &cut);
        AddDeriveRows(rows, old, derived, cut, Codec.ForTag(derived.CodePage));
        if (Progress)
            Progress->SetPosition(i + 1);
    }
    return rows;
}

std::vector<TPreviewRow> DerivePreviewRun(const TFileList& List, const TDeriveFormat& Format,
                                          const TDeriveOptions& Options, IProgress* Progress) {
    const std::vector<std::string> paths = SelectedFilePaths(List);
    ProgressScope progress(Progress, PreviewProgressCaption(paths.size()), paths.size());
    return PreviewDeriveFromFileNames(paths, Format, Options, List.Codec(), &progress,
                                      List.ReadJobs());
}

std::string PreviewProgressCaption(std::size_t Files) {
    return FillText(UiText("TagFromFileName", "Reading %1 tags, please wait..."),
                    {std::to_string(Files)});
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
    return DeriveFromFileNames(
        SelectedFilePaths(List), Format, Options, List.Codec(),
        [&](const TMP3Tag& tag) {
            if (Notes)
                Notes->NoteWritten(tag, List.Codec());
            List.SingleUpdate(tag);
        },
        &progress, Notes ? &Notes->BadTrack : nullptr, Notes ? &Notes->MorePieces : nullptr);
}

} // namespace veltrane
