#include "cli/Commands.h"

#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/ChangePreview.h"
#include "editing/TagActions.h"

#include <optional>
#include <ostream>

namespace veltrane::cli {

namespace {

constexpr std::string_view kCaseUsage =
    "usage: veltrane-cli tag case --field LIST --mode title|upper|lower|sentence\n"
    "                             [--codepage NAME] [--dry-run] [--no-undo] [--sync-v2] FILE...\n"
    "  LIST: comma separated, from title, artist, album, year, comment\n";
constexpr std::string_view kReplaceUsage =
    "usage: veltrane-cli tag replace --field LIST --find TEXT --with TEXT [--ignore-case]\n"
    "                                [--regex] [--codepage NAME] [--dry-run] [--no-undo]\n"
    "                                [--sync-v2] FILE...\n"
    "  every occurrence, left to right; --regex: TEXT is a PCRE2 pattern and the replacement\n"
    "  takes $1, ${12}, ${name} and $$\n";
constexpr std::string_view kFormatUsage =
    "usage: veltrane-cli tag format --field FIELD --pattern PATTERN [--codepage NAME]\n"
    "                               [--dry-run] [--no-undo] [--sync-v2] FILE...\n"
    "  PATTERN: text with %title% %artist% %album% %year% %comment% %genre% %track% %file%;\n"
    "  %% for a percent sign\n";
constexpr std::string_view kCommonUsage =
    "  --dry-run: print the changes as TSV (file, field, old, new, note) and write nothing\n"
    "  --no-undo: write even when the change cannot be recorded for undo (refused without)\n"
    "  --sync-v2: an ID3v2 tag the file holds follows: the action on the frame's own text\n";

std::string_view OptionOf(EActionSpec::TWhere Where, TActionKind Kind) {
    switch (Where) {
    case EActionSpec::wFields: return "--field";
    case EActionSpec::wFind: return "--find";
    case EActionSpec::wWith: return "--with";
    case EActionSpec::wPattern: break;
    }
    return Kind == TActionKind::akFormat ? "--pattern" : "--find";
}

int RunAction(const char* Name, TActionSpec Spec, const Options& o, std::ostream& out,
              std::ostream& err) {
    const NoUndoScope noUndo(o, err);
    SyncV2Scope sync(o);
    if (o.Positional().empty())
        throw UsageError(std::string("tag ") + Name + ": missing FILE");
    const std::optional<std::string> fields = o.Value("--field");
    if (!fields)
        throw UsageError(std::string("tag ") + Name + ": missing --field");
    try {
        Spec.Fields = ParseActionFields(*fields);
    } catch (const std::invalid_argument& e) {
        throw UsageError(std::string("--field: ") + e.what());
    }
    const auto codec = MakeCodec(o);
    const TActionKind kind = Spec.Kind;
    std::optional<TTagAction> action;
    try {
        action.emplace(std::move(Spec));
    } catch (const EActionSpec& e) {
        throw UsageError(std::string(OptionOf(e.Where, kind)) + ": " + Escape(e.what()));
    }
    if (o.Has("--dry-run")) {
        const TActionPlan plan = PlanTagAction(o.Positional(), *action, *codec);
        out << PreviewTsv(plan.Preview);
        return AnyFailed(plan.Preview) ? 1 : 0;
    }
    const TActionResult result = RunTagAction(o.Positional(), *action, *codec, {}, nullptr);
    for (const TFileFailure& failure : result.Failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    ReportFiles(err, "cut to the field's width (30 bytes, the year 4, a comment beside a track 28):",
                result.Cut);
    ReportLossy(err, *codec, result.Lossy);
    ReportFiles(err, "the pattern hit PCRE2's match limit; left as they were:", result.Limit);
    const bool skipped = sync.Report(err);
    return result.Failures.empty() && result.Limit.empty() && !skipped ? 0 : 1;
}

} // namespace

int RunTagCase(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--dry-run", "--no-undo", "--sync-v2"},
                                   {"--field", "--mode", "--codepage"});
    if (o.Has("--help")) {
        out << kCaseUsage << kCommonUsage;
        return 0;
    }
    TActionSpec spec;
    spec.Kind = TActionKind::akCase;
    const std::optional<std::string> mode = o.Value("--mode");
    if (!mode)
        throw UsageError("tag case: missing --mode (title, upper, lower or sentence)");
    if (!ParseCaseMode(*mode, spec.Mode))
        throw UsageError("--mode takes title, upper, lower or sentence, not '" + Escape(*mode) +
                         "'");
    return RunAction("case", std::move(spec), o, out, err);
}

int RunTagReplace(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o =
        ParseOptions(args, {"--ignore-case", "--regex", "--dry-run", "--no-undo", "--sync-v2"},
                     {"--field", "--find", "--with", "--codepage"});
    if (o.Has("--help")) {
        out << kReplaceUsage << kCommonUsage;
        return 0;
    }
    TActionSpec spec;
    spec.Kind = TActionKind::akReplace;
    const std::optional<std::string> find = o.Value("--find");
    const std::optional<std::string> with = o.Value("--with");
    if (!find || !with)
        throw UsageError("tag replace: give both --find and --with");
    spec.Find = *find;
    spec.With = *with;
    spec.IgnoreCase = o.Has("--ignore-case");
    spec.Regex = o.Has("--regex");
    return RunAction("replace", std::move(spec), o, out, err);
}

int RunTagFormat(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--dry-run", "--no-undo", "--sync-v2"},
                                   {"--field", "--pattern", "--codepage"});
    if (o.Has("--help")) {
        out << kFormatUsage << kCommonUsage;
        return 0;
    }
    TActionSpec spec;
    spec.Kind = TActionKind::akFormat;
    const std::optional<std::string> pattern = o.Value("--pattern");
    if (!pattern)
        throw UsageError("tag format: missing --pattern");
    spec.Pattern = *pattern;
    return RunAction("format", std::move(spec), o, out, err);
}

} // namespace veltrane::cli
