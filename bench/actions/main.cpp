// The batch actions over 100,000 files against the tag write of one field that `tag set`
// makes on them, journaled the way the command line runs them, measured in the same run
// (target: each action within 1.2 times of the one-field write, wall clock). Every round
// changes every file, so no side skips a write.
// Usage: bench_actions [FILES]   (default 100000)

#include "BenchCommon.h"

#include "browser/FileList.h"
#include "editing/ChangeJournal.h"
#include "editing/JournaledSteps.h"
#include "editing/TagActions.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace veltrane;
using namespace veltrane::bench;

namespace {

TActionSpec Spec(TActionKind Kind, unsigned Fields) {
    TActionSpec spec;
    spec.Kind = Kind;
    spec.Fields = Fields;
    return spec;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::printf("building %zu tagged files...\n", files);
    const TaggedTree tree(files, kMinListedFileSize);
    const std::string state = tree.Root() + "-state";
    MinimalTagWriteLoop(tree.Files()); // warm the page cache

    std::size_t failures = 0;
    const auto run = [&](const TTagAction& action) {
        const TActionResult r = RunTagAction(tree.Files(), action, TagCodec::Default(), {}, nullptr);
        failures += r.Failures.size() + r.Limit.size() + r.Unchanged;
    };
    Best set, upper, title, plain, regex, format;
    for (int i = 0; i < 5; ++i) {
        // A fresh journal each round, so every side records into one of the same size.
        TChangeJournal journal(state + "/" + std::to_string(i));
        SetActiveJournal(&journal);
        const std::string text = "Set " + std::to_string(i);
        set.Time([&] {
            failures += RunTagStep(tree.Files(), FileCount,
                                   [&](TMP3Tag& tag) { tag.Title = text; }, TagCodec::Default(),
                                   {}, nullptr)
                            .size();
        });
        TActionSpec spec = Spec(TActionKind::akCase, afTitle);
        spec.Mode = TCaseMode::cmUpper;
        upper.Time([&] { run(TTagAction(spec)); });
        spec.Mode = TCaseMode::cmTitle;
        title.Time([&] { run(TTagAction(spec)); });
        spec = Spec(TActionKind::akReplace, afTitle);
        spec.Find = "^(\\w+) (\\d+)$"; // "Set 3" to "3 Set"
        spec.With = "$2 $1";
        spec.Regex = true;
        regex.Time([&] { run(TTagAction(spec)); });
        spec.Find = "Set";
        spec.With = "Put";
        spec.Regex = false;
        plain.Time([&] { run(TTagAction(spec)); });
        spec = Spec(TActionKind::akFormat, afTitle);
        spec.Pattern = "%title% " + std::to_string(i);
        format.Time([&] { run(TTagAction(spec)); });
        SetActiveJournal(nullptr);
    }
    std::printf("%zu files, journaled, one step each         wall ms   ratio    cpu ms   ratio\n",
                files);
    double worst = 0;
    const auto row = [&](const char* name, const Best& b, bool compared) {
        std::printf("%-42s %8.1f  %5.2f  %8.1f  %5.2f\n", name, b.wall * 1000, b.wall / set.wall,
                    b.cpu * 1000, b.cpu / set.cpu);
        if (compared)
            worst = std::max(worst, b.wall / set.wall);
    };
    row("tag set of one field (title)", set, false);
    row("case: upper", upper, true);
    row("case: title", title, true);
    row("replace: plain text", plain, true);
    row("replace: regular expression", regex, true);
    row("format", format, true);
    std::printf("target: every action within 1.2x of the one-field write, wall clock: %.2f %s\n",
                worst, worst <= 1.2 ? "met" : "NOT met");
    if (failures)
        std::printf("(%zu files failed or were left unchanged!)\n", failures);
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
    return failures == 0 ? 0 : 1;
}
