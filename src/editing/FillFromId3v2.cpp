#include "editing/FillFromId3v2.h"

#include "editing/CodePageCheck.h"

#include "editing/JournaledSteps.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <variant>

namespace veltrane {

namespace {

constexpr TFillField kFields[] = {ffTitle, ffArtist, ffAlbum, ffYear, ffComment, ffGenre, ffTrack};

// Thrown by the change of a file that has nothing to fill: it is left out of the step and
// is no failure.
struct TNothingToFill {};

std::string Lower(std::string_view Text) {
    std::string out(Text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Text fields: empty is blank after the trailing blanks are gone.
bool TakeText(std::string& Field, const std::string& Value, bool Overwrite) {
    if (Value.empty() || (!Overwrite && !RTrim(Field).empty()) || Field == Value)
        return false;
    Field = Value;
    return true;
}

void AddLines(std::string& Text, std::string_view Intro, const TFileFailures& Lines,
              std::size_t MaxLines) {
    if (Lines.empty())
        return;
    Text += "\n\n";
    Text += Intro;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i == MaxLines) {
            Text += "\n... and " + std::to_string(Lines.size() - i) + " more";
            break;
        }
        Text += '\n' + Lines[i].Path + ": " + Lines[i].Error;
    }
}

std::string Joined(const std::vector<std::string>& Names) {
    std::string out;
    for (const std::string& n : Names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

// What one file's fill noted before it was written.
struct TFileNotes {
    std::vector<std::string> Cut, Lossy;
    std::string UnknownGenre, BadTrack;
};

} // namespace

std::string_view FillFieldName(TFillField Field) {
    switch (Field) {
    case ffTitle: return "title";
    case ffArtist: return "artist";
    case ffAlbum: return "album";
    case ffYear: return "year";
    case ffComment: return "comment";
    case ffGenre: return "genre";
    case ffTrack: return "track";
    default: return "";
    }
}

unsigned ParseFillFields(std::string_view List) {
    unsigned fields = 0;
    std::size_t start = 0;
    while (start <= List.size()) {
        const std::size_t end = std::min(List.find(',', start), List.size());
        const std::string name = Lower(List.substr(start, end - start));
        unsigned field = name == "all" ? unsigned{ffAll} : 0u;
        for (const TFillField f : kFields)
            if (name == FillFieldName(f))
                field = f;
        if (field == 0)
            throw std::invalid_argument("unknown field '" + name +
                                        "' (title, artist, album, year, comment, genre, track)");
        fields |= field;
        start = end + 1;
    }
    return fields;
}

bool ApplyId3v2Values(TMP3Tag& Tag, const TId3v2Values& V, const TFillOptions& Options,
                      const TagCodec& Codec, std::vector<std::string>* Cut) {
    if (Tag.Header != "TAG")
        ClearMP3Tag(Tag);
    // A file without a tag that gets nothing keeps having none.
    const TMP3Tag before = Tag;
    const bool over = Options.Overwrite;
    const auto want = [&](TFillField f) { return (Options.Fields & f) != 0; };
    std::vector<TFillField> taken;
    const auto text = [&](TFillField f, std::string& field, const std::string& value) {
        if (want(f) && TakeText(field, value, over))
            taken.push_back(f);
    };
    text(ffTitle, Tag.Title, V.Title);
    text(ffArtist, Tag.Artist, V.Artist);
    text(ffAlbum, Tag.Album, V.Album);
    text(ffYear, Tag.Year, V.Year);
    text(ffComment, Tag.Comment, V.Comment);
    if (want(ffGenre) && V.Genre != 255 && (over || Tag.Genre == 255))
        Tag.Genre = V.Genre;
    if (want(ffTrack) && V.Track != 0 && (over || Tag.Track == 0))
        Tag.Track = V.Track;
    if (Cut) {
        for (const TFillField f : taken) {
            const std::string& value = f == ffTitle    ? Tag.Title
                                       : f == ffArtist ? Tag.Artist
                                       : f == ffAlbum  ? Tag.Album
                                       : f == ffYear   ? Tag.Year
                                                       : Tag.Comment;
            const std::size_t width = f == ffYear ? 4 : f == ffComment && Tag.Track != 0 ? 28 : 30;
            if (Codec.Encode(value).size() > width)
                Cut->emplace_back(FillFieldName(f));
        }
        // A track taken beside a comment already there cuts that comment too.
        if (CommentCutByTrack(Tag, Codec) &&
            (Cut->empty() || Cut->back() != FillFieldName(ffComment)))
            Cut->emplace_back(FillFieldName(ffComment));
    }
    return !(Tag == before);
}

std::string FillDescription(std::size_t Files) {
    return "fill ID3v1 from ID3v2 of " + FileCount(Files);
}

std::string FillProgressCaption(std::size_t Selected) {
    return FillText(UiText("FillFromId3v2", "Filling %1 tags, please wait..."),
                    {std::to_string(Selected)});
}

TFillResult FillFromId3v2(const std::vector<std::string>& Paths, const TFillOptions& Options,
                          const TagCodec& Codec, std::size_t Jobs,
                          const std::function<void(const TMP3Tag&)>& Written,
                          const ProgressScope* Progress) {
    TFillResult result;
    std::vector<std::string> unique;
    {
        std::unordered_set<std::string_view> seen;
        for (const std::string& path : Paths)
            if (seen.insert(path).second)
                unique.push_back(path);
    }
    // The ID3v2 tags are read ahead, several at a time, as the list reads its rows.
    using TRead = std::variant<TId3v2Values, std::string>;
    TOrderedReader<TRead, TDirectoryCache> reader(
        unique.size(), Jobs, [&](std::size_t k, TDirectoryCache& directories) -> TRead {
            try {
                return ReadId3v2(unique[k], &directories);
            } catch (const std::exception& e) {
                return std::string(e.what());
            }
        });
    std::unordered_map<std::string_view, TId3v2Values> values;
    std::unordered_map<std::string_view, std::string> readErrors;
    std::vector<std::string> readable;
    for (const std::string& path : unique) {
        TRead read = reader.Next();
        if (auto* v = std::get_if<TId3v2Values>(&read)) {
            values.emplace(path, std::move(*v));
            readable.push_back(path);
        } else {
            readErrors.emplace(path, std::get<std::string>(read));
        }
    }

    std::unordered_map<std::string, TFileNotes> notes;
    const std::vector<std::exception_ptr> errors = RunTagStepErrors(
        readable, FillDescription,
        [&](TMP3Tag& tag) {
            const TId3v2Values& v = values.at(tag.FileName);
            TFileNotes n;
            const TagCodec& codec = Codec.ForTag(tag.CodePage); // the file's own code page
            if (!ApplyId3v2Values(tag, v, Options, codec, &n.Cut))
                throw TNothingToFill{};
            if (Options.Fields & ffGenre)
                n.UnknownGenre = v.UnknownGenre;
            if (Options.Fields & ffTrack)
                n.BadTrack = v.BadTrack;
            for (const TNamedText& lossy : LossyFields({{"title", tag.Title},
                                                         {"artist", tag.Artist},
                                                         {"album", tag.Album},
                                                         {"year", tag.Year},
                                                         {"comment", tag.Comment}},
                                                        codec))
                n.Lossy.push_back(lossy.Name + " (" + lossy.Text + ", " + codec.Name() + ")");
            notes[tag.FileName] = std::move(n);
        },
        Codec,
        [&](const TMP3Tag& tag) {
            ++result.Filled;
            const TFileNotes& n = notes[tag.FileName];
            if (!n.Cut.empty())
                result.Cut.push_back({tag.FileName, Joined(n.Cut)});
            if (!n.Lossy.empty())
                result.Lossy.push_back({tag.FileName, Joined(n.Lossy)});
            if (!n.UnknownGenre.empty())
                result.UnknownGenre.push_back({tag.FileName, n.UnknownGenre});
            if (!n.BadTrack.empty())
                result.BadTrack.push_back({tag.FileName, n.BadTrack});
            if (Written)
                Written(tag);
        },
        Progress);

    // Failures in list order, reading and writing together.
    std::unordered_map<std::string_view, std::size_t> writeIndex;
    for (std::size_t k = 0; k < readable.size(); ++k)
        writeIndex.emplace(readable[k], k);
    for (const std::string& path : unique) {
        if (const auto it = readErrors.find(path); it != readErrors.end()) {
            result.Failures.push_back({path, it->second});
            continue;
        }
        const std::exception_ptr& error = errors[writeIndex.at(path)];
        if (!error)
            continue;
        try {
            std::rethrow_exception(error);
        } catch (const TNothingToFill&) {
            ++result.Unchanged;
        } catch (const std::exception& e) {
            result.Failures.push_back({path, e.what()});
        }
    }
    if (Progress)
        Progress->SetPosition(Paths.size());
    return result;
}

TFillResult FillFromId3v2Run(TFileList& List, const TFillOptions& Options, IProgress* Progress) {
    const std::size_t selected = List.SelCount();
    ProgressScope progress(Progress, FillProgressCaption(selected), selected);
    return FillFromId3v2(SelectedFilePaths(List), Options, List.Codec(), List.ReadJobs(),
                         [&](const TMP3Tag& tag) { List.SingleUpdate(tag); }, &progress);
}

std::string FillReport(const TFillResult& Result, std::size_t MaxLines) {
    const auto files = [](std::size_t n) {
        return n == 1 ? UiText("FillFromId3v2", "1 file")
                      : FillText(UiText("FillFromId3v2", "%1 files"), {std::to_string(n)});
    };
    std::string text = FillText(UiText("FillFromId3v2", "ID3v1 tags filled from ID3v2 in %1."),
                                {files(Result.Filled)});
    if (Result.Unchanged > 0)
        text += " " + FillText(UiText("FillFromId3v2", "%1 had nothing to fill."),
                               {files(Result.Unchanged)});
    AddLines(text, UiText("FillFromId3v2", "These files could not be filled:"), Result.Failures,
             MaxLines);
    AddLines(text,
             UiText("FillFromId3v2",
                    "Cut to the ID3v1 field widths (30 bytes, 28 for a comment beside a track):"),
             Result.Cut, MaxLines);
    AddLines(
        text,
        UiText("FillFromId3v2", "Characters the tag's code page cannot hold were saved as \"?\":"),
        Result.Lossy, MaxLines);
    AddLines(
        text,
        UiText("FillFromId3v2", "Genres not in the genre table; the genre was left as it was:"),
        Result.UnknownGenre, MaxLines);
    AddLines(text,
             UiText("FillFromId3v2",
                    "Tracks that are no number from 1 to 255; the track was left as it was:"),
             Result.BadTrack, MaxLines);
    return text;
}

} // namespace veltrane
