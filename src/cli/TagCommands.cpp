#include "cli/Commands.h"

#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/CodePageCheck.h"
#include "editing/JournaledSteps.h"
#include "editing/TagEditing.h"
#include "editing/TrackNumbers.h"
#include "tagcore/CodePageGuess.h"
#include "tagcore/LongPath.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/TagRunReader.h"

#include <charconv>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace veltrane::cli {

namespace {

constexpr std::string_view kShowUsage =
    "usage: veltrane-cli tag show [--recursive] [--audio] [--codepage NAME] [--jobs N] PATH...\n"
    "  N: files read at once (default: the program's choice; 1 reads one after another)\n"
    "  --audio: adds seconds, kbps (the average for VBR), vbr (0 or 1), rate (Hz) and note\n"
    "           (empty, truncated or no audio)\n";
constexpr std::string_view kSetUsage =
    "usage: veltrane-cli tag set [--title T] [--artist A] [--album B] [--year Y] [--comment C]\n"
    "                            [--genre NAME-OR-NUMBER] [--track N] [--codepage NAME] [--no-undo]\n"
    "                            [--sync-v2] FILE...\n"
    "  --track \"\" removes the track number\n"
    "  --no-undo: write even when the change cannot be recorded for undo (refused without)\n"
    "  --sync-v2: an ID3v2 tag the file holds follows the ID3v1 fields changed\n";
constexpr std::string_view kNumberUsage =
    "usage: veltrane-cli tag number [--start N] [--keep-existing] [--codepage NAME] [--no-undo]\n"
    "                               [--sync-v2] FILE...\n"
    "  numbers the files in the order given, from N (default 1) up to 255 at most;\n"
    "  --keep-existing: files that have a track keep it and use up no number\n"
    "  --sync-v2: an ID3v2 tag the file holds follows the ID3v1 fields changed\n";
constexpr std::string_view kCommentCutIntro =
    "comment cut to 28 characters to make room for the track number:";

// A track number 1 to 255, or "" for none.
std::uint8_t ParseTrackOption(const std::string& text) {
    const std::optional<std::uint8_t> track = ParseTrack(text);
    if (!track)
        throw UsageError("--track: give a number from 1 to 255, or \"\" for no track, not '" +
                         Escape(text) + "'");
    return *track;
}

void AppendField(std::string& line, std::string_view text) {
    line += '\t';
    AppendEscaped(line, text);
}

bool IsDirectory(const std::string& path) {
    const TPathAt at(path);
    struct stat st;
    return at.Ok() && ::fstatat(at.Dir(), at.Name(), &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// One file's output: its line, or why it cannot be read, or that a path named on the command
// line is a directory to show instead.
struct ShownFile {
    bool Ok = false;
    bool Directory = false;
    std::string Text; // the line with its newline, or the error text
};

// What a worker keeps from file to file: its open folders, and the run of tags it has read.
struct ShowState {
    ShowState(const std::vector<std::string>& paths, bool audio)
        : Tags([&paths](std::size_t i) { return paths[i]; }, 0, true, audio) {}
    TDirectoryCache Directories;
    TTagRunReader Tags;
};

// A named path is tried as a file first: a directory fails to read as one, and only then costs
// a look at what it is. A run of files is read at once, from the first entry of the run.
ShownFile ShowFile(const std::vector<std::string>& paths, std::size_t index,
                   const TagCodec& codec, bool mayBeDirectory, bool audio, ShowState& state) {
    const std::string& path = paths[index];
    TMP3Tag tag;
    TMpegAudio sound;
    try {
        state.Tags.PrepareRunAt(index, paths.size(), &state.Directories);
        tag = state.Tags.Read(index, codec, nullptr, &state.Directories, audio ? &sound : nullptr);
    } catch (const EInOutError& e) {
        if (mayBeDirectory && IsDirectory(path))
            return {false, true, {}};
        return {false, false, e.what()};
    }
    ShownFile shown{true, false, {}};
    std::string& line = shown.Text;
    line.reserve(path.size() + 160);
    AppendEscaped(line, path);
    line += tag.Header == "TAG" ? "\t1" : "\t0";
    AppendField(line, tag.Title);
    AppendField(line, tag.Artist);
    AppendField(line, tag.Album);
    AppendField(line, tag.Year);
    line += '\t';
    line += std::to_string(tag.Genre);
    AppendField(line, RTrim(ByteToStyle(tag.Genre)));
    AppendField(line, tag.Comment);
    line += '\t';
    line += TrackText(tag.Track);
    if (audio)
        AppendAudioColumns(line, sound);
    line += '\n';
    return shown;
}

using ShowDirectory = std::function<bool(const std::string& dir)>;

// Shows the files in list order, Jobs read at a time; false when one could not be read.
// Lines are written in blocks; an error line first writes out the lines before it. With
// showDirectory, a path that is a directory is handed to it in its place.
bool ShowFiles(const std::vector<std::string>& paths, std::size_t jobs, const TagCodec& codec,
               bool audio, std::ostream& out, std::ostream& err,
               const ShowDirectory& showDirectory = {}) {
    const bool named = static_cast<bool>(showDirectory);
    using Reader = TOrderedReader<ShownFile, std::optional<ShowState>>;
    Reader reader(
        paths.size(), jobs,
        Reader::ReadWithState([&](std::size_t i, std::optional<ShowState>& state) {
            if (!state)
                state.emplace(paths, audio);
            return ShowFile(paths, i, codec, named, audio, *state);
        }),
        TTagRunReader::kMaxRun);
    bool ok = true;
    std::string block;
    for (const std::string& path : paths) {
        const ShownFile shown = reader.Next();
        if (shown.Ok) {
            block += shown.Text;
            if (block.size() < 65536)
                continue;
        }
        out << block;
        block.clear();
        if (shown.Directory) {
            ok = showDirectory(path) && ok;
        } else if (!shown.Ok) {
            out.flush();
            ReportFileError(err, Escape(path), shown.Text);
            ok = false;
        }
    }
    out << block;
    return ok;
}

// A number 0 to 255, or a genre name with or without its trailing blank, letter case ignored;
// "" means no genre.
std::uint8_t ParseGenre(const std::string& text) {
    if (text.empty())
        return 255;
    if (text.find_first_not_of("0123456789") == std::string::npos) {
        // Leading zeros are still a number ("017" is 17); a value too big fails from_chars.
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size() && value <= 255)
            return static_cast<std::uint8_t>(value);
        throw UsageError("genre number '" + text + "' is not between 0 and 255");
    }
    std::uint8_t g = StyleToByte(text);
    if (g == 254)
        g = StyleToByte(text + " ");
    if (g == 254 || g == 255)
        throw UsageError("unknown genre '" + Escape(text) + "'");
    return g;
}

} // namespace

void ReportFiles(std::ostream& err, const std::string& intro,
                 const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    err << "veltrane-cli: " << intro << '\n';
    for (const std::string& path : paths)
        err << "  " << Escape(path) << '\n';
}

int RunTagShow(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--recursive", "--v2", "--audio"}, {"--codepage", "--jobs"});
    if (o.Has("--v2"))
        return RunTagShowV2(args, out, err);
    if (o.Has("--help")) {
        out << kShowUsage;
        return 0;
    }
    if (o.Positional().empty())
        throw UsageError("tag show: missing PATH");
    const auto codec = MakeCodec(o);
    // Nothing here asks a file's code page after its reading: the decisions need not be kept.
    if (TCodePageResolver* resolver = codec->Resolver())
        resolver->SetKeepDecided(false);
    const std::size_t jobs = ReadJobs(o);
    const bool recursive = o.Has("--recursive");
    const bool audio = o.Has("--audio");
    const auto showDirectory = [&](const std::string& dir) {
        TFindFile finder;
        finder.Directory = dir;
        finder.Filter = "*.mp3";
        finder.Recurse = recursive;
        finder.Execute();
        const bool problems = ReportFindProblems(err, finder.Problems);
        return ShowFiles(finder.Files, jobs, *codec, audio, out, err) && !problems;
    };
    // The paths named are read as one list; a directory among them is shown in its place.
    return ShowFiles(o.Positional(), jobs, *codec, audio, out, err, showDirectory) ? 0 : 1;
}

int RunTagSet(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(
        args, {"--no-undo", "--sync-v2"},
        {"--title", "--artist", "--album", "--year", "--comment", "--genre", "--track",
         "--codepage"});
    if (o.Has("--help")) {
        out << kSetUsage;
        return 0;
    }
    const NoUndoScope noUndo(o, err);
    SyncV2Scope sync(o);
    if (o.Positional().empty())
        throw UsageError("tag set: missing FILE");
    const auto codec = MakeCodec(o);
    // An unknown genre is refused before any file is written.
    const std::optional<std::string> genreText = o.Value("--genre");
    const int genre = genreText ? ParseGenre(*genreText) : -1;
    const std::optional<std::string> trackText = o.Value("--track");
    const int track = trackText ? ParseTrackOption(*trackText) : -1;

    TEditMoreFields named; // for the journal's description only
    named.Title.Leave = !o.Value("--title");
    named.Artist.Leave = !o.Value("--artist");
    named.Album.Leave = !o.Value("--album");
    named.Year.Leave = !o.Value("--year");
    named.Comment.Leave = !o.Value("--comment");
    named.Style.Leave = genre < 0;
    named.Track.Leave = track < 0;
    std::vector<std::string> cut, lossy;
    const TFileFailures failures = RunTagStep(
        o.Positional(), [&](std::size_t files) { return EditMoreDescription(named, files); },
        [&](TMP3Tag& tag) {
            if (tag.Header != "TAG")
                ClearMP3Tag(tag);
            if (auto v = o.Value("--title"))
                tag.Title = *v;
            if (auto v = o.Value("--artist"))
                tag.Artist = *v;
            if (auto v = o.Value("--album"))
                tag.Album = *v;
            if (auto v = o.Value("--year"))
                tag.Year = *v;
            if (auto v = o.Value("--comment"))
                tag.Comment = *v;
            if (genre >= 0)
                tag.Genre = static_cast<std::uint8_t>(genre);
            if (track >= 0)
                tag.Track = static_cast<std::uint8_t>(track);
        },
        *codec,
        [&](const TMP3Tag& tag) {
            if (CommentCutByTrack(tag, *codec))
                cut.push_back(tag.FileName);
            if (TagIsLossy(tag, *codec))
                lossy.push_back(tag.FileName);
        },
        nullptr);
    for (const TFileFailure& failure : failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    ReportFiles(err, std::string(kCommentCutIntro), cut);
    ReportLossy(err, *codec, lossy);
    const bool skipped = sync.Report(err);
    return failures.empty() && !skipped ? 0 : 1;
}

int RunTagNumber(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--keep-existing", "--no-undo", "--sync-v2"}, {"--start", "--codepage"});
    if (o.Has("--help")) {
        out << kNumberUsage;
        return 0;
    }
    const NoUndoScope noUndo(o, err);
    SyncV2Scope sync(o);
    if (o.Positional().empty())
        throw UsageError("tag number: missing FILE");
    TNumberOptions options;
    if (const std::optional<std::string> start = o.Value("--start")) {
        const std::optional<std::uint8_t> value = ParseTrack(*start);
        if (!value || *value == 0)
            throw UsageError("tag number: --start takes a number from 1 to 255, not '" +
                             Escape(*start) + "'");
        options.Start = *value;
    }
    options.KeepExisting = o.Has("--keep-existing");
    const auto codec = MakeCodec(o);
    std::vector<std::string> cut;
    TFileFailures failures;
    try {
        failures = NumberTracks(o.Positional(), options, *codec,
                                [&](const TMP3Tag& tag) {
                                    if (CommentCutByTrack(tag, *codec))
                                        cut.push_back(tag.FileName);
                                },
                                nullptr);
    } catch (const ETrackRange& e) {
        err << "veltrane-cli: tag number: " << e.what() << '\n';
        return 1;
    }
    for (const TFileFailure& failure : failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    ReportFiles(err, std::string(kCommentCutIntro), cut);
    const bool skipped = sync.Report(err);
    return failures.empty() && !skipped ? 0 : 1;
}

} // namespace veltrane::cli
