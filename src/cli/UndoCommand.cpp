#include "cli/Commands.h"

#include "cli/Escape.h"
#include "cli/Options.h"
#include "editing/Undo.h"

#include <charconv>
#include <ctime>
#include <ostream>

namespace veltrane::cli {

namespace {

constexpr std::string_view kUndoUsage =
    "usage: veltrane-cli undo [--list] [--step N | --redo] [--force] [--no-undo]\n"
    "  takes back the last change Veltrane made to files (the window's or the command\n"
    "  line's), or step N of the list; files changed since by anyone are left alone\n"
    "  --redo: takes back the last undo (an undo after it takes the redo back)\n"
    "  --force: also write files made read-only since, which stay read-only\n"
    "  --no-undo: take the step back even when the journal cannot record that (a full\n"
    "  disk); the next undo then finds its files as before\n"
    "  A step with nothing left to take back is marked as undone, so the next undo\n"
    "  goes on to the step before it.\n";

std::string LocalTime(std::int64_t Seconds) {
    const std::time_t t = static_cast<std::time_t>(Seconds);
    std::tm tm{};
    char text[32] = "";
    if (::localtime_r(&t, &tm))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

std::uint64_t ParseStep(const std::string& Text) {
    std::uint64_t n = 0;
    const auto [end, ec] = std::from_chars(Text.data(), Text.data() + Text.size(), n);
    if (Text.empty() || ec != std::errc() || end != Text.data() + Text.size() || n == 0)
        throw UsageError("--step: '" + Escape(Text) + "' is not a step number");
    return n;
}

void ReportDamage(std::ostream& err, const std::string& Damage) {
    if (!Damage.empty())
        err << "veltrane-cli: warning: " << Escape(Damage) << '\n';
}

} // namespace

int RunUndo(const Args& args, std::ostream& out, std::ostream& err) {
    const Options o = ParseOptions(args, {"--list", "--force", "--redo", "--no-undo"}, {"--step"});
    if (o.Has("--help")) {
        out << kUndoUsage;
        return 0;
    }
    if (!o.Positional().empty())
        throw UsageError("undo: takes no FILE");
    TChangeJournal* journal = ActiveJournal();
    if (!journal)
        throw EJournalError("no change journal");

    if (o.Has("--list")) {
        if (o.Value("--step") || o.Has("--force") || o.Has("--redo") || o.Has("--no-undo"))
            throw UsageError("undo: --list takes no other option");
        const TJournalContents contents = journal->Read();
        ReportDamage(err, contents.Damage);
        const std::set<std::uint64_t> undone = UndoneSteps(contents);
        // Newest first: step, time, files, command, and whether it was taken back or cut off.
        for (auto it = contents.Steps.rbegin(); it != contents.Steps.rend(); ++it) {
            out << it->Id << '\t' << LocalTime(it->Time) << '\t' << it->Files << '\t'
                << Escape(it->Command);
            if (undone.count(it->Id))
                out << "\tundone";
            else if (ChangedNothing(*it))
                out << "\tnothing written";
            else if (!it->Finished)
                out << "\tcut off";
            out << '\n';
        }
        return 0;
    }

    if (o.Has("--redo") && o.Value("--step"))
        throw UsageError("undo: --redo takes no --step (it takes back the last undo)");
    const std::uint64_t step = o.Value("--step") ? ParseStep(*o.Value("--step")) : 0;
    const NoUndoScope noUndo(o, err);
    TUndoReport report;
    try {
        report = o.Has("--redo") ? RedoStep(*journal, o.Has("--force"))
                                 : UndoStep(*journal, step, o.Has("--force"));
    } catch (const EUndoNotRecorded& e) {
        throw EJournalError(std::string(e.what()) +
                            "; --no-undo takes the step back without recording it");
    }
    ReportDamage(err, report.Damage);
    const char* verb = report.Redo ? "redo" : "undo";
    if (report.NothingLeft)
        out << "nothing left to " << verb << " of step ";
    else
        out << (report.Redo ? "redone step " : "undone step ");
    out
        << report.Step << ": " << Escape(report.Subject) << " (" << report.Restored
        << " restored";
    if (report.AlreadyBack > 0)
        out << ", " << report.AlreadyBack << " already as before";
    if (!report.Failures.empty())
        out << ", " << report.Failures.size() << " left alone";
    if (report.Unrecorded)
        out << (report.NothingLeft ? "); not recorded\n" : "); not recorded, so it cannot be redone\n");
    else
        out << (report.NothingLeft ? "); marked as undone\n" : ")\n");
    for (const TFileFailure& failure : report.Failures)
        ReportFileError(err, Escape(failure.Path), failure.Error);
    if (report.ReadOnly > 0)
        err << "veltrane-cli: undo --force --step " << report.Step
            << " writes the read-only files and keeps them read-only\n";
    return report.Failures.empty() ? 0 : 1;
}

} // namespace veltrane::cli
