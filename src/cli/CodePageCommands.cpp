#include "cli/Commands.h"

#include "browser/ErrorText.h"
#include "browser/FindFile.h"
#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/Recode.h"
#include "tagcore/CodePageGuess.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

#include <ostream>
#include <sys/stat.h>

namespace veltrane::cli {

namespace {

constexpr std::string_view kCodePageUsage =
    "usage: veltrane-cli tag codepage [--recursive] PATH...\n"
    "  prints PATH, a tab and the code page the tag reads in (as --codepage auto decides),\n"
    "  or ASCII when its text reads the same in every code page (also: no tag)\n";
constexpr std::string_view kRecodeUsage =
    "usage: veltrane-cli tag recode --from NAME|auto --to NAME [--dry-run] [--no-undo] FILE...\n"
    "  re-encodes every text field; a file whose text NAME cannot hold, or would cut, is\n"
    "  refused whole and named (exit 1); the others are converted in one step (undo takes\n"
    "  it back). --dry-run: print the files that would be converted\n";

std::unique_ptr<TagCodec> NamedCodec(const std::string& option, const std::string& name) {
    try {
        return std::make_unique<TagCodec>(name);
    } catch (const std::invalid_argument&) {
        throw UsageError(option + ": unknown code page '" + Escape(name) + "'");
    }
}

} // namespace

std::string CodePageNameOf(const TagCodec& codec, const std::string& path) {
    if (const TCodePageResolver* resolver = codec.Resolver())
        return TagCodec::ById(resolver->Decided(path)).Name();
    return codec.Name();
}

void ReportLossy(std::ostream& err, const TagCodec& codec, const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    err << "veltrane-cli: characters the file's code page cannot hold were written as \"?\":\n";
    for (const std::string& path : paths)
        err << "  " << Escape(path) << " (" << CodePageNameOf(codec, path) << ")\n";
}

int RunTagCodePage(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--recursive"}, {});
    if (o.Has("--help")) {
        out << kCodePageUsage;
        return 0;
    }
    if (o.Positional().empty())
        throw UsageError("tag codepage: missing PATH");
    const auto codec = MakeCodec("auto", o.Positional());
    bool ok = true;
    const auto show = [&](const std::string& path) {
        try {
            const TMP3Tag tag = GetMP3Tag(path, *codec);
            out << Escape(path) << '\t'
                << (tag.CodePage == 0 ? std::string("ASCII") : TagCodec::ById(tag.CodePage).Name())
                << '\n';
        } catch (const EInOutError& e) {
            ReportFileError(err, Escape(path), InOutErrorText(e));
            ok = false;
        } catch (const std::exception& e) {
            ReportFileError(err, Escape(path), e.what());
            ok = false;
        }
    };
    for (const std::string& path : o.Positional()) {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            TFindFile finder;
            finder.Directory = path;
            finder.Filter = "*.mp3";
            finder.Recurse = o.Has("--recursive");
            finder.Execute();
            ok = !ReportFindProblems(err, finder.Problems) && ok;
            for (const std::string& file : finder.Files)
                show(file);
        } else {
            show(path);
        }
    }
    return ok ? 0 : 1;
}

int RunTagRecode(const Args& args, std::ostream& out, std::ostream& err) {
    // --sync-v2 is taken and ignored: a conversion changes no ID3v2 frame.
    const Options o =
        ParseOptions(args, {"--dry-run", "--no-undo", "--sync-v2"}, {"--from", "--to"});
    if (o.Has("--help")) {
        out << kRecodeUsage;
        return 0;
    }
    const NoUndoScope noUndo(o, err);
    if (o.Positional().empty())
        throw UsageError("tag recode: missing FILE");
    const std::optional<std::string> fromName = o.Value("--from");
    const std::optional<std::string> toName = o.Value("--to");
    if (!fromName || !toName)
        throw UsageError(std::string("tag recode: missing ") + (fromName ? "--to" : "--from"));
    std::unique_ptr<TagCodec> from;
    try {
        from = MakeCodec(*fromName, o.Positional());
    } catch (const UsageError&) {
        throw UsageError("--from: unknown code page '" + Escape(*fromName) + "'");
    }
    const auto to = NamedCodec("--to", *toName);
    if (to->IsAuto())
        throw UsageError("--to: name a code page, not auto");
    const TRecodeResult result = RecodeFiles(o.Positional(), *from, *to, o.Has("--dry-run"));
    if (o.Has("--dry-run"))
        for (const std::string& path : result.Converted)
            out << Escape(path) << '\t' << CodePageNameOf(*from, path) << '\t' << to->Name() << '\n';
    for (const TFileFailure& f : result.Refused)
        ReportFileError(err, Escape(f.Path), "refused: " + f.Error);
    for (const TFileFailure& f : result.Failures)
        ReportFileError(err, Escape(f.Path), f.Error);
    return result.Refused.empty() && result.Failures.empty() ? 0 : 1;
}

} // namespace veltrane::cli
