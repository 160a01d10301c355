#include "cli/Commands.h"

#include "browser/FileList.h"
#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "tagcore/TagFile.h"

#include <charconv>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace veltrane::cli {

namespace {

constexpr std::string_view kListUsage =
    "usage: veltrane-cli list [--recursive] [--audio] [--sort N] [--codepage NAME] [--jobs J] DIR\n"
    "  N: column 1 to 8 (FileName, Song, Artist, Album, Year, Genre, Comment, Track),\n"
    "     negative for descending; default 1; with --audio also 9 (Length) and 10 (Bitrate)\n"
    "  --audio: adds seconds, kbps (the average for VBR), vbr (0 or 1), rate (Hz) and note\n"
    "           (empty, truncated or no audio)\n"
    "  J: files read at once (default: the program's choice; 1 reads one after another)\n"
    "  Files under 16512 bytes (129 blocks of 128 bytes) are left out, as in the window:\n"
    "  too small to be music, they are mostly broken downloads and stubs. Their number is\n"
    "  given in one line on standard error.\n";

int ParseSortColumn(const std::string& text, int columns) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value < -columns ||
        value > columns)
        throw UsageError("list: --sort takes a column number 1 to " + std::to_string(columns) +
                         " or -" + std::to_string(columns) + " to -1, not '" + Escape(text) + "'");
    return value;
}

} // namespace

int RunList(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--recursive", "--audio"}, {"--sort", "--codepage", "--jobs"});
    if (o.Has("--help")) {
        out << kListUsage;
        return 0;
    }
    if (o.Positional().size() != 1)
        throw UsageError("list: give exactly one DIR");
    const std::unique_ptr<TagCodec> codec = MakeCodec(o);

    if (!FolderOk(o.Positional()[0], err))
        return 1;
    // The search hands its paths straight to the list's compact rows, as the window's does.
    TFileList list;
    list.SetReadJobs(ReadJobs(o));
    const bool audio = o.Has("--audio");
    list.SetShowAudio(audio);
    if (auto sort = o.Value("--sort"))
        list.SetSortColumn(ParseSortColumn(*sort, list.ColumnCount()));
    TFindFile finder;
    finder.Directory = o.Positional()[0];
    finder.Recurse = o.Has("--recursive");
    finder.Filter = "*.mp3";
    finder.Sink = &list.FoundFiles();
    finder.Execute();
    const bool skipped = ReportFindProblems(err, finder.Problems);
    const std::size_t found = finder.FoundCount();

    try {
        list.SetCodec(*codec);
        list.UpdateList(finder.Directory, nullptr);
    } catch (const EInOutError& e) {
        ReportFileError(err, Escape(e.FileName().empty() ? finder.Directory : e.FileName()),
                        e.what());
        return 1;
    }

    std::size_t rows = 0;
    for (std::size_t i = 1; i < list.Count(); ++i)
        rows += list.HasPath(i) ? 1 : 0;
    if (found > rows)
        err << "veltrane-cli: " << found - rows << (found - rows == 1 ? " file" : " files")
            << " under " << kMinListedFileSize << " bytes left out\n";

    std::string text;
    for (std::size_t i = 1; i < list.Count(); ++i) {
        const TFileRow row = list.Row(i);
        if (row.Path.empty()) { // the marker row
            text += Escape(TFileList::GetStringItem(1, row.Text));
            text += '\n';
            continue;
        }
        // The name from the row's own path: the row text has tabs in names turned to blanks.
        text += Escape(list.PrepFileName(row.Path));
        for (int field = 2; field <= kFileListColumnCount; ++field) {
            std::string_view column = TFileList::GetStringItem(field, row.Text);
            if (field == 6 && !column.empty() && column.back() == ' ')
                column.remove_suffix(1);
            text += '\t';
            text += Escape(column);
        }
        if (audio)
            AppendAudioColumns(text, list.Audio(i).ToAudio());
        text += '\n';
        // Written in pieces: the whole listing never sits in memory next to the rows.
        if (text.size() >= (1u << 16)) {
            out << text;
            text.clear();
        }
    }
    out << text;
    return skipped ? 1 : 0;
}

} // namespace veltrane::cli
