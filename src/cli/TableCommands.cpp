#include "cli/Commands.h"

#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/ChangePreview.h"
#include "editing/TagTable.h"
#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/TagFile.h"

#include <filesystem>
#include <ostream>
#include <sys/stat.h>

namespace veltrane::cli {

namespace {

constexpr std::string_view kExportUsage =
    "usage: veltrane-cli tag export [--format csv|tsv] [--recursive] [--audio] [--codepage NAME]\n"
    "                               [--jobs N] PATH...\n"
    "  prints one header line (path,title,artist,album,year,genre,comment,track) and a row\n"
    "  per MP3 file, a folder's files sorted as list sorts them; CSV by default (RFC 4180,\n"
    "  CR LF), TSV with the escaping of tag show; the path is absolute and escaped in both\n"
    "  --audio: adds seconds, kbps, vbr, rate and note, as tag show --audio (import ignores them)\n";
constexpr std::string_view kImportUsage =
    "usage: veltrane-cli tag import [--dry-run] [--format csv|tsv] [--codepage NAME]\n"
    "                               [--no-undo] [--sync-v2] FILE\n"
    "  sets the fields that differ from each row's file, as one step that undo takes back;\n"
    "  columns by the header, in any order, path required; a relative path is taken from\n"
    "  FILE's folder; the format by FILE's extension (.tsv or .tab for TSV) unless given.\n"
    "  Bad rows are reported by number and skipped, the rest applied, status 1.\n"
    "  --dry-run: prints file, field, old, new and note (TSV) and writes nothing\n"
    "  --sync-v2: an ID3v2 tag the file holds follows the ID3v1 fields changed\n";

TTableFormat ParseFormat(const std::string& text) {
    if (text == "csv")
        return TTableFormat::Csv;
    if (text == "tsv")
        return TTableFormat::Tsv;
    throw UsageError("--format takes csv or tsv, not '" + Escape(text) + "'");
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

int RunTagExport(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--recursive", "--audio"}, {"--format", "--codepage", "--jobs"});
    if (o.Has("--help")) {
        out << kExportUsage;
        return 0;
    }
    if (o.Positional().empty())
        throw UsageError("tag export: missing PATH");
    const TTableFormat format = ParseFormat(o.Value("--format", "csv"));
    const auto codec = MakeCodec(o);
    const std::size_t jobs = ReadJobs(o);

    // Named files keep their order; a folder's files come sorted as list sorts them.
    bool ok = true;
    std::vector<std::string> paths;
    for (const std::string& named : o.Positional()) {
        const std::string path = SystemAbsolute(named);
        if (!IsDirectory(path)) {
            paths.push_back(path);
            continue;
        }
        TFindFile finder;
        finder.Directory = path;
        finder.Filter = "*.mp3";
        finder.Recurse = o.Has("--recursive");
        finder.Execute();
        ok = !ReportFindProblems(err, finder.Problems) && ok;
        SortLikeList(finder.Files, finder.Directory);
        paths.insert(paths.end(), std::make_move_iterator(finder.Files.begin()),
                     std::make_move_iterator(finder.Files.end()));
    }
    const bool audio = o.Has("--audio");
    out << TagTableHeader(format, audio);
    ok = WriteTagTable(
             paths, format, *codec, jobs, [&](std::string_view block) { out << block; },
             [&](const std::string& path, const std::string& error) {
                 out.flush();
                 ReportFileError(err, Escape(path), error);
             },
             nullptr, audio) &&
         ok;
    return ok ? 0 : 1;
}

int RunTagImport(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--dry-run", "--no-undo", "--sync-v2"}, {"--format", "--codepage"});
    if (o.Has("--help")) {
        out << kImportUsage;
        return 0;
    }
    if (o.Positional().size() != 1)
        throw UsageError("tag import: give exactly one FILE");
    const std::string& file = o.Positional()[0];
    const auto codec = MakeCodec(o);
    std::optional<TTableFormat> format;
    if (const auto text = o.Value("--format"))
        format = ParseFormat(*text);
    const NoUndoScope noUndo(o, err);
    SyncV2Scope sync(o);

    TImportPlan plan;
    try {
        plan = PlanTagImportFile(file, *codec, format ? &*format : nullptr);
    } catch (const EInOutError& e) {
        ReportFileError(err, Escape(file), e.what());
        return 1;
    } catch (const std::invalid_argument& e) {
        ReportFileError(err, Escape(file), std::string(e.what()) + "; nothing imported");
        return 1;
    } catch (const ETableSyntax& e) {
        ReportFileError(err, Escape(file), std::string(e.what()) + "; nothing imported");
        return 1;
    }
    for (const std::string& warning : plan.Warnings)
        err << "veltrane-cli: " << Escape(file) << ": warning: " << warning << '\n';
    for (const std::string& bad : plan.BadRows)
        ReportFileError(err, Escape(file), bad + "; row skipped");
    if (o.Has("--dry-run")) {
        out << PreviewTsv(plan.Preview);
        return plan.BadRows.empty() ? 0 : 1;
    }
    std::vector<std::string> cut;
    const TFileFailures failures = ApplyTagImport(
        plan, *codec,
        [&](const TMP3Tag& tag) {
            if (CommentCutByTrack(tag, *codec))
                cut.push_back(tag.FileName);
        },
        nullptr);
    for (const TFileFailure& failure : failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    ReportFiles(err, "comment cut to 28 characters to make room for the track number:", cut);
    const bool skipped = sync.Report(err);
    return failures.empty() && plan.BadRows.empty() && !skipped ? 0 : 1;
}

} // namespace veltrane::cli
