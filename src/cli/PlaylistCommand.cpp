#include "cli/Commands.h"

#include "cli/Escape.h"
#include "cli/Options.h"
#include "playlists/ExtM3U.h"
#include "playlists/M3UFile.h"

#include <istream>
#include <ostream>

namespace veltrane::cli {

namespace {

constexpr const char* kPlaylistUsage =
    "usage: veltrane-cli playlist show FILE\n"
    "       veltrane-cli playlist write [--append] [--extended] [--relative] OUT [ENTRY...]\n"
    "       veltrane-cli playlist check FILE\n"
    "write takes the entries given, or else one escaped entry a line from standard input\n"
    "(as find and tag show print them).\n";
constexpr const char* kShowUsage =
    "usage: veltrane-cli playlist show FILE\n"
    "  prints the entries of the playlist FILE, one escaped entry a line\n";
constexpr const char* kWriteUsage =
    "usage: veltrane-cli playlist write [--append] [--extended] [--relative] [--codepage NAME]\n"
    "                                   OUT [ENTRY...]\n"
    "  writes the entries given, or else one escaped entry a line from standard input (as\n"
    "  find and tag show print them), to OUT; --append adds them at its end, on lines of\n"
    "  their own (a playlist with a Ctrl-Z before its last byte is refused)\n"
    "  --extended: #EXTM3U (new or empty files only) and #EXTINF:-1,ARTIST - TITLE from\n"
    "  each file's tag before its entry; --relative: entries below OUT's folder relative to it,\n"
    "  the others absolute. In an extended playlist (--extended, .m3u8, or appended to one\n"
    "  starting with #EXTM3U) an entry starting with # is written ./#... A read-only OUT is\n"
    "  refused; a replaced OUT keeps its owner and mode\n";
constexpr const char* kCheckUsage =
    "usage: veltrane-cli playlist check FILE\n"
    "  prints the entries of FILE that name no file; status 1 when there is any. Relative\n"
    "  entries are taken from FILE's folder; in extended M3U (#EXTM3U first, or .m3u8)\n"
    "  lines starting with # and blank lines are no entries\n";

std::vector<std::string> ReadOrReport(const std::string& path, std::ostream& err, bool& ok) {
    try {
        ok = true;
        return ReadPlaylistFile(path);
    } catch (const EPlaylistFileError& e) {
        ReportFileError(err, Escape(path), e.what());
        ok = false;
        return {};
    }
}

int Show(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {}, {});
    if (o.Positional().size() != 1)
        throw UsageError("playlist show: give exactly one FILE");
    bool ok = false;
    const std::vector<std::string> entries = ReadOrReport(o.Positional()[0], err, ok);
    if (!ok)
        return 1;
    std::string text;
    for (const std::string& entry : entries) {
        text += Escape(entry);
        text += '\n';
    }
    out << text;
    return 0;
}

int Check(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {}, {});
    if (o.Positional().size() != 1)
        throw UsageError("playlist check: give exactly one FILE");
    const std::string& file = o.Positional()[0];
    bool ok = false;
    const std::vector<std::string> entries = ReadOrReport(file, err, ok);
    if (!ok)
        return 1;
    bool missing = false;
    std::string text;
    for (const std::string& entry : entries) {
        if (PlaylistEntryExists(entry, file))
            continue;
        missing = true;
        text += Escape(entry);
        text += '\n';
    }
    out << text;
    return missing ? 1 : 0;
}

int Write(const Args& args, std::istream& in, std::ostream&, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--append", "--extended", "--relative"}, {"--codepage"});
    if (o.Positional().empty())
        throw UsageError("playlist write: give OUT");
    const std::string& file = o.Positional()[0];
    std::vector<std::string> entries(o.Positional().begin() + 1, o.Positional().end());
    if (entries.empty()) {
        std::string line;
        for (std::size_t number = 1; std::getline(in, line); ++number) {
            auto entry = Unescape(line);
            if (!entry)
                throw UsageError("playlist write: line " + std::to_string(number) +
                                 " of standard input has a malformed escape: " + Escape(line));
            entries.push_back(std::move(*entry));
        }
    }
    if (const std::string* bad = UnwritableEntry(entries)) {
        ReportFileError(err, Escape(file),
                        "a playlist line cannot hold a name with a line break, NUL or Ctrl-Z in it: " +
                            Escape(*bad));
        return 1;
    }
    try {
        const auto codec = MakeCodec(o);
        WritePlaylistEntries(file, entries, o.Has("--append") ? pwAppend : pwOverwrite,
                             {o.Has("--extended"), o.Has("--relative")}, *codec);
    } catch (const EPlaylistFileError& e) {
        ReportFileError(err, Escape(file), e.what());
        return 1;
    }
    return 0;
}

} // namespace

int RunPlaylist(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty())
        throw UsageError("playlist: missing sub-command (show, write or check)");
    if (args[0] == "--help" || args[0] == "-h") {
        out << kPlaylistUsage;
        return 0;
    }
    const Args rest(args.begin() + 1, args.end());
    for (const std::string& a : rest) {
        if (a == "--")
            break;
        if (a == "--help" || a == "-h") {
            out << (args[0] == "show"    ? kShowUsage
                    : args[0] == "write" ? kWriteUsage
                    : args[0] == "check" ? kCheckUsage
                                         : kPlaylistUsage);
            return 0;
        }
    }
    if (args[0] == "show") return Show(rest, out, err);
    if (args[0] == "write") return Write(rest, in, out, err);
    if (args[0] == "check") return Check(rest, out, err);
    throw UsageError("playlist: unknown sub-command '" + Escape(args[0]) + "'");
}

} // namespace veltrane::cli
