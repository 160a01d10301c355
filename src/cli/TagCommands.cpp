#include "cli/Commands.h"

#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/JournaledSteps.h"
#include "editing/TagEditing.h"
#include "tagcore/LongPath.h"
#include "tagcore/TagFile.h"

#include <charconv>
#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <fcntl.h>
#include <sys/stat.h>

namespace veltrane::cli {

namespace {

constexpr std::string_view kShowUsage =
    "usage: veltrane-cli tag show [--recursive] [--codepage NAME] PATH...\n";
constexpr std::string_view kSetUsage =
    "usage: veltrane-cli tag set [--title T] [--artist A] [--album B] [--year Y] [--comment C]\n"
    "                            [--genre NAME-OR-NUMBER] [--codepage NAME] FILE...\n";

void AppendField(std::string& line, std::string_view text) {
    line += '\t';
    line += Escape(text);
}

// Prints one line for the file, or reports why it cannot be read; false on failure.
bool ShowFile(const std::string& path, const TagCodec& codec, std::ostream& out,
              std::ostream& err) {
    TMP3Tag tag;
    try {
        tag = GetMP3Tag(path, codec);
    } catch (const EInOutError& e) {
        ReportFileError(err, Escape(path), e.what());
        return false;
    }
    std::string line = Escape(path);
    line += tag.Header == "TAG" ? "\t1" : "\t0";
    AppendField(line, tag.Title);
    AppendField(line, tag.Artist);
    AppendField(line, tag.Album);
    AppendField(line, tag.Year);
    line += '\t';
    line += std::to_string(tag.Genre);
    AppendField(line, RTrim(ByteToStyle(tag.Genre)));
    AppendField(line, tag.Comment);
    line += '\n';
    out << line;
    return true;
}

bool IsDirectory(const std::string& path) {
    const TPathAt at(path);
    struct stat st;
    return at.Ok() && ::fstatat(at.Dir(), at.Name(), &st, 0) == 0 && S_ISDIR(st.st_mode);
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

int RunTagShow(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--recursive"}, {"--codepage"});
    if (o.Has("--help")) {
        out << kShowUsage;
        return 0;
    }
    if (o.Positional().empty())
        throw UsageError("tag show: missing PATH");
    const auto codec = MakeCodec(o);
    bool ok = true;
    for (const std::string& path : o.Positional()) {
        if (!IsDirectory(path)) {
            ok = ShowFile(path, *codec, out, err) && ok;
            continue;
        }
        TFindFile finder;
        finder.Directory = path;
        finder.Filter = "*.mp3";
        finder.Recurse = o.Has("--recursive");
        finder.Execute();
        ok = !ReportFindProblems(err, finder.Problems) && ok;
        for (const std::string& file : finder.Files)
            ok = ShowFile(file, *codec, out, err) && ok;
    }
    return ok ? 0 : 1;
}

int RunTagSet(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(
        args, {},
        {"--title", "--artist", "--album", "--year", "--comment", "--genre", "--codepage"});
    if (o.Has("--help")) {
        out << kSetUsage;
        return 0;
    }
    if (o.Positional().empty())
        throw UsageError("tag set: missing FILE");
    const auto codec = MakeCodec(o);
    // An unknown genre is refused before any file is written.
    const std::optional<std::string> genreText = o.Value("--genre");
    const int genre = genreText ? ParseGenre(*genreText) : -1;

    TEditMoreFields named; // for the journal's description only
    named.Title.Leave = !o.Value("--title");
    named.Artist.Leave = !o.Value("--artist");
    named.Album.Leave = !o.Value("--album");
    named.Year.Leave = !o.Value("--year");
    named.Comment.Leave = !o.Value("--comment");
    named.Style.Leave = genre < 0;
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
        },
        *codec, {}, nullptr);
    for (const TFileFailure& failure : failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    return failures.empty() ? 0 : 1;
}

} // namespace veltrane::cli
