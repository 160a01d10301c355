#include "cli/Commands.h"

#include "browser/FileList.h"
#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/ChangePreview.h"
#include "editing/DeriveFormatModel.h"
#include "editing/RenameFromTags.h"
#include "editing/RunFailures.h"
#include "editing/SelectSearch.h"
#include "editing/TagFromFileName.h"
#include "tagcore/TagFile.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <ostream>
#include <utility>

namespace veltrane::cli {

namespace {

constexpr std::string_view kFromNameUsage =
    "usage: veltrane-cli from-name [--fields LIST] [--separator SEP] [--no-smart-cut]\n"
    "                              [--clear-tag] [--codepage NAME] [--jobs N] [--dry-run]\n"
    "                              [--no-undo] [--sync-v2] FILE...\n"
    "  LIST: fields in file-name order, comma separated, from title, artist, album, year,\n"
    "        comment, track (default artist,title); SEP defaults to \"-\"\n"
    "  --dry-run: print the changes as TSV (file, field, old, new, note) and write nothing;\n"
    "             exits with 1 when a row cannot be done\n"
    "  --no-undo: write even when the change cannot be recorded for undo (refused without)\n"
    "  --sync-v2: an ID3v2 tag the file holds follows the ID3v1 fields changed\n";
constexpr std::string_view kRenameUsage =
    "usage: veltrane-cli rename [--fields LIST] [--separator SEP] [--codepage NAME] [--jobs N]\n"
    "                           [--dry-run] [--no-undo] FILE...\n"
    "       veltrane-cli rename --to NAME [--dry-run] [--no-undo] FILE\n"
    "  LIST as for from-name (default artist,title); SEP defaults to \" - \"\n"
    "  --dry-run: print the renames as TSV (file, field, old, new, note) and rename nothing;\n"
    "             exits with 1 when a rename cannot be done\n"
    "  --no-undo: rename even when the change cannot be recorded for undo (refused without)\n";
constexpr std::string_view kSelectUsage =
    "usage: veltrane-cli select [--recursive] [--case-sensitive] [--codepage NAME] [--jobs N]\n"
    "                           (--text TEXT | --genre NAME) DIR\n"
    "  prints each selected file, a tab and its track number (empty for none)\n";

// "artist,title" -> the how-to list of Format.
void SetFields(TDeriveFormat& Format, const std::string& List) {
    std::string codes;
    std::size_t start = 0;
    while (start <= List.size()) {
        std::size_t comma = List.find(',', start);
        if (comma == std::string::npos)
            comma = List.size();
        const std::string name = List.substr(start, comma - start);
        if (name == "title")
            codes += '1';
        else if (name == "artist")
            codes += '2';
        else if (name == "album")
            codes += '3';
        else if (name == "year")
            codes += '4';
        else if (name == "comment")
            codes += '5';
        else if (name == "track")
            codes += kTrackCode;
        else
            throw UsageError("--fields: unknown field '" + Escape(name) + "'");
        start = comma + 1;
    }
    if (!Format.SetHowToCodes(codes))
        throw UsageError("--fields: a field is named twice");
}

TDeriveFormat MakeFormat(const Options& o, std::string_view DefaultSeparator) {
    TDeriveFormat format;
    if (auto fields = o.Value("--fields")) {
        if (fields->empty())
            throw UsageError("--fields: the list names no field");
        SetFields(format, *fields);
    }
    const std::string separator = o.Value("--separator", DefaultSeparator);
    // The format keeps only what its field holds; a longer text would be cut without a word.
    format.SetSeparator(separator);
    if (format.Separator() != separator)
        throw UsageError("--separator: at most " + std::to_string(kMaxSeparatorChars) +
                         " characters, not '" + Escape(separator) + "'");
    return format;
}

// A genre name as tag set takes it: letter case ignored, trailing blank optional, "" for none.
std::string ParseStyle(const std::string& Name) {
    if (Name.empty())
        return {};
    std::uint8_t g = StyleToByte(Name);
    if (g == 254)
        g = StyleToByte(Name + " ");
    if (g == 254 || g == 255)
        throw UsageError("unknown genre '" + Escape(Name) + "'");
    return ByteToStyle(g);
}

} // namespace

int RunFromName(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--no-smart-cut", "--clear-tag", "--dry-run", "--no-undo", "--sync-v2"},
                     {"--fields", "--separator", "--codepage", "--jobs"});
    if (o.Has("--help")) {
        out << kFromNameUsage;
        return 0;
    }
    const NoUndoScope noUndo(o, err);
    SyncV2Scope sync(o);
    if (o.Positional().empty())
        throw UsageError("from-name: missing FILE");
    const auto codec = MakeCodec(o);
    const TDeriveFormat format = MakeFormat(o, "-");
    const TDeriveOptions options{!o.Has("--no-smart-cut"), o.Has("--clear-tag")};
    if (o.Has("--dry-run")) {
        const std::vector<TPreviewRow> rows = PreviewDeriveFromFileNames(
            o.Positional(), format, options, *codec, nullptr, ReadJobs(o));
        out << PreviewTsv(rows);
        return AnyFailed(rows) ? 1 : 0;
    }
    std::vector<std::string> cut, badTrack, morePieces;
    const TFileFailures failures = DeriveFromFileNames(
        o.Positional(), format, options, *codec,
        [&](const TMP3Tag& tag) {
            if (CommentCutByTrack(tag, *codec))
                cut.push_back(tag.FileName);
        },
        nullptr, &badTrack, &morePieces);
    for (const TFileFailure& failure : failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    ReportFiles(err, "comment cut to 28 characters to make room for the track number:", cut);
    ReportFiles(err, "track in the name is not a number from 1 to 255; track left as it was:",
                badTrack);
    ReportFiles(err, "more pieces than fields; the rest of the name was not used:", morePieces);
    const bool skipped = sync.Report(err);
    return failures.empty() && !skipped ? 0 : 1;
}

int RunRename(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--dry-run", "--no-undo"},
                                   {"--fields", "--separator", "--to", "--codepage", "--jobs"});
    if (o.Has("--help")) {
        out << kRenameUsage;
        return 0;
    }
    const NoUndoScope noUndo(o, err);
    if (o.Positional().empty())
        throw UsageError("rename: missing FILE");
    const auto codec = MakeCodec(o);
    const auto report = [&](const std::string& path, const TRenameResult& r) {
        if (r.Status == TRenameResult::rsRenamed) {
            out << Escape(path) << " -> " << Escape(r.NewPath) << '\n';
            return true;
        }
        if (r.Message.empty())
            return true;
        ReportFileError(err, Escape(path), r.Message);
        return false;
    };

    if (auto typed = o.Value("--to")) {
        if (o.Value("--fields") || o.Value("--separator"))
            throw UsageError("rename: --to takes neither --fields nor --separator");
        if (o.Positional().size() != 1)
            throw UsageError("rename: --to renames exactly one FILE");
        const std::string& path = o.Positional().front();
        if (EmptyTypedName(*typed))
            throw UsageError("rename: --to needs a name; \"" + Escape(*typed) +
                             "\" would give the hidden name \".mp3\"");
        if (o.Has("--dry-run")) {
            const std::vector<TPreviewRow> rows{PreviewRenameByTypedName(path, *typed)};
            out << PreviewTsv(rows);
            return AnyFailed(rows) ? 1 : 0;
        }
        return report(path, RenameByTypedName(path, *typed)) ? 0 : 1;
    }

    const TDeriveFormat format = MakeFormat(o, " - ");
    if (o.Has("--dry-run")) {
        const std::vector<TPreviewRow> rows =
            PreviewRenameFromTags(o.Positional(), format, *codec, nullptr, ReadJobs(o));
        out << PreviewTsv(rows);
        return AnyFailed(rows) ? 1 : 0;
    }
    const std::vector<TRenameResult> results = RenameFromTags(o.Positional(), format, *codec);
    bool ok = true;
    for (std::size_t i = 0; i < results.size(); ++i)
        ok = report(o.Positional()[i], results[i]) && ok;
    return ok ? 0 : 1;
}

int RunSelect(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--recursive", "--case-sensitive"},
                     {"--text", "--genre", "--codepage", "--jobs"});
    if (o.Has("--help")) {
        out << kSelectUsage;
        return 0;
    }
    const auto text = o.Value("--text");
    const auto genre = o.Value("--genre");
    if (text.has_value() == genre.has_value())
        throw UsageError("select: give either --text or --genre");
    if (o.Positional().size() != 1)
        throw UsageError("select: give exactly one DIR");
    const auto codec = MakeCodec(o);

    TSelectSearch search;
    search.CaseSensitive = o.Has("--case-sensitive");
    if (text) {
        search.Text = *text;
    } else {
        search.UseTextSearch = false;
        search.UseStyleSearch = true;
        search.Style = ParseStyle(*genre);
    }

    if (!FolderOk(o.Positional().front(), err))
        return 1;
    TFindFile finder;
    finder.Directory = o.Positional().front();
    finder.Filter = "*.mp3";
    finder.Recurse = o.Has("--recursive");
    finder.Execute();
    const bool skipped = ReportFindProblems(err, finder.Problems);
    TFileList list;
    list.SetReadJobs(ReadJobs(o));
    try {
        list.SetCodec(*codec);
        list.UpdateList(std::move(finder.Files), finder.Directory, nullptr);
    } catch (const std::exception& e) {
        // The search stops at the first file it cannot read, as the main window's does.
        ReportFileError(err, Escape(finder.Directory), e.what());
        return 1;
    }
    const TFileFailures failures = ApplySelectSearch(list, TDeSelectMode::dmSelect, search, nullptr, *codec);
    for (std::size_t i = 1; i < list.Count(); ++i) {
        if (list.Selected(i))
            out << Escape(list.GetFileName(i)) << '\t'
                << TFileList::GetStringItem(kTrackColumn, list.ItemText(i)) << '\n';
    }
    for (const TFileFailure& failure : failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    return failures.empty() && !skipped ? 0 : 1;
}

} // namespace veltrane::cli
