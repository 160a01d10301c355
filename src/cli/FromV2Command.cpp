// "tag from-v2" and "tag show --v2": ID3v1 tags filled from the files' ID3v2 tags, and the
// ID3v2 values shown as they would be taken.

#include "cli/Commands.h"

#include "browser/FileList.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/FillFromId3v2.h"
#include "id3v2/Id3v2Reader.h"
#include "tagcore/OrderedReader.h"

#include <ostream>
#include <stdexcept>
#include <variant>

namespace veltrane::cli {

namespace {

constexpr std::string_view kFromV2Usage =
    "usage: veltrane-cli tag from-v2 [--fields LIST] [--overwrite] [--codepage NAME] [--jobs N]\n"
    "                                [--no-undo] FILE...\n"
    "  fills the ID3v1 tags from the files' ID3v2 tags; LIST: title,artist,album,year,comment,\n"
    "  genre,track (default all); only empty ID3v1 fields are filled unless --overwrite\n"
    "  --no-undo: write even when the change cannot be recorded for undo (refused without)\n";
constexpr std::string_view kShowV2Usage =
    "usage: veltrane-cli tag show --v2 [--jobs N] FILE...\n"
    "  the ID3v2 values as 'tag from-v2' would take them, in the columns of 'tag show'\n";

void Field(std::string& line, std::string_view text) {
    line += '\t';
    AppendEscaped(line, text);
}

void Report(std::ostream& err, const std::string& intro, const TFileFailures& notes) {
    if (notes.empty())
        return;
    err << "veltrane-cli: " << intro << '\n';
    for (const TFileFailure& n : notes)
        err << "  " << Escape(n.Path) << ": " << Escape(n.Error) << '\n';
}

} // namespace

int RunTagShowV2(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--v2"}, {"--jobs"});
    if (o.Has("--help")) {
        out << kShowV2Usage;
        return 0;
    }
    if (o.Positional().empty())
        throw UsageError("tag show --v2: missing FILE");
    const std::vector<std::string>& paths = o.Positional();
    using TRead = std::variant<TId3v2Values, std::string>;
    TOrderedReader<TRead, TDirectoryCache> reader(
        paths.size(), ReadJobs(o), [&](std::size_t i, TDirectoryCache& directories) -> TRead {
            try {
                return ReadId3v2(paths[i], &directories);
            } catch (const std::exception& e) {
                return std::string(e.what());
            }
        });
    bool ok = true;
    for (const std::string& path : paths) {
        const TRead read = reader.Next();
        if (const auto* error = std::get_if<std::string>(&read)) {
            out.flush();
            ReportFileError(err, Escape(path), *error);
            ok = false;
            continue;
        }
        const TId3v2Values& v = std::get<TId3v2Values>(read);
        std::string line;
        AppendEscaped(line, path);
        line += "\t1";
        Field(line, v.Title);
        Field(line, v.Artist);
        Field(line, v.Album);
        Field(line, v.Year);
        line += '\t' + std::to_string(v.Genre);
        Field(line, RTrim(ByteToStyle(v.Genre)));
        Field(line, v.Comment);
        line += '\t' + TrackText(v.Track) + '\n';
        out << line;
    }
    return ok ? 0 : 1;
}

int RunTagFromV2(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--overwrite", "--no-undo"}, {"--fields", "--codepage", "--jobs"});
    if (o.Has("--help")) {
        out << kFromV2Usage;
        return 0;
    }
    const NoUndoScope noUndo(o, err);
    if (o.Positional().empty())
        throw UsageError("tag from-v2: missing FILE");
    TFillOptions options;
    options.Overwrite = o.Has("--overwrite");
    if (const std::optional<std::string> fields = o.Value("--fields")) {
        try {
            options.Fields = ParseFillFields(*fields);
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string("tag from-v2: --fields: ") + e.what());
        }
    }
    const auto codec = MakeCodec(o);
    const TFillResult result =
        FillFromId3v2(o.Positional(), options, *codec, ReadJobs(o), {}, nullptr);
    for (const TFileFailure& failure : result.Failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    Report(err, "characters the file's code page cannot hold were written as \"?\":", result.Lossy);
    Report(err, "cut to the ID3v1 field widths:", result.Cut);
    Report(err, "genre not in the genre table; genre left as it was:", result.UnknownGenre);
    Report(err, "track is no number from 1 to 255; track left as it was:", result.BadTrack);
    return result.Failures.empty() ? 0 : 1;
}

} // namespace veltrane::cli
