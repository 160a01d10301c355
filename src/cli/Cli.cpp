#include "cli/Cli.h"

#include "cli/Commands.h"
#include "cli/Escape.h"
#include "VeltraneVersion.h"
#include "tagcore/TagFile.h"

#include <exception>
#include <functional>
#include <iostream>
#include <ostream>
#include <string_view>

namespace veltrane::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: veltrane-cli COMMAND [OPTIONS] ARGS...\n"
    "\n"
    "commands:\n"
    "  tag show [--recursive] [--audio] [--codepage NAME] [--jobs N] PATH...\n"
    "  tag set [--title T] [--artist A] [--album B] [--year Y] [--comment C]\n"
    "          [--genre NAME-OR-NUMBER] [--track N] [--codepage NAME] [--no-undo] FILE...\n"
    "  tag number [--start N] [--keep-existing] [--codepage NAME] [--no-undo] FILE...\n"
    "  tag from-v2 [--fields LIST] [--overwrite] [--codepage NAME] [--jobs N] [--no-undo] FILE...\n"
    "  tag show --v2 [--jobs N] FILE...\n"
    "  tag export [--format csv|tsv] [--recursive] [--audio] [--codepage NAME] [--jobs N] PATH...\n"
    "  tag import [--dry-run] [--format csv|tsv] [--codepage NAME] [--no-undo] FILE\n"
    "  tag case --field LIST --mode title|upper|lower|sentence [--codepage NAME] [--dry-run]\n"
    "           [--no-undo] FILE...\n"
    "  tag replace --field LIST --find TEXT --with TEXT [--ignore-case] [--regex]\n"
    "              [--codepage NAME] [--dry-run] [--no-undo] FILE...\n"
    "  tag format --field FIELD --pattern PATTERN [--codepage NAME] [--dry-run] [--no-undo] FILE...\n"
    "  tag codepage [--recursive] PATH...\n"
    "  tag recode --from NAME|auto --to NAME [--dry-run] [--no-undo] FILE...\n"
    "  find [--recursive] [--filter WILDCARD] DIR\n"
    "  list [--recursive] [--audio] [--sort N] [--codepage NAME] [--jobs N] DIR\n"
    "  pack [--plain] IN OUT\n"
    "  unpack IN OUT\n"
    "  from-name [--fields LIST] [--separator SEP] [--no-smart-cut] [--clear-tag]\n"
    "            [--codepage NAME] [--jobs N] [--dry-run] [--no-undo] FILE...\n"
    "  rename [--fields LIST] [--separator SEP] [--codepage NAME] [--jobs N] [--dry-run]\n"
    "         [--no-undo] FILE...\n"
    "  rename --to NAME [--dry-run] [--no-undo] FILE\n"
    "  select [--recursive] [--case-sensitive] [--codepage NAME] [--jobs N]\n"
    "         (--text TEXT | --genre NAME) DIR\n"
    "  undo [--list] [--step N | --redo] [--force] [--no-undo]\n"
    "  playlist show FILE\n"
    "  playlist write [--append] [--extended] [--relative] OUT [ENTRY...]\n"
    "  playlist check FILE\n"
    "--codepage NAME: the tags' code page (default WINDOWS-1252; auto: decided per file)\n"
    "--jobs N: files read at once (default: the program's choice; 1 reads one after another)\n"
    "--no-undo: make the change even when it cannot be recorded for undo\n"
    "--force (tag set, number, from-v2, import, from-name): also write read-only files, which\n"
    "    stay read-only; without it they are refused; reading never changes a file's mode\n"
    "COMMAND --help: that command's usage; --version: the version\n";
constexpr std::string_view kTagUsage =
    "usage: veltrane-cli tag show [--recursive] [--codepage NAME] [--jobs N] PATH...\n"
    "       veltrane-cli tag set [--title T] [--artist A] [--album B] [--year Y] [--comment C]\n"
    "                            [--genre NAME-OR-NUMBER] [--track N] [--codepage NAME] [--no-undo]\n"
    "                            FILE...\n"
    "       veltrane-cli tag number [--start N] [--keep-existing] [--codepage NAME] [--no-undo] FILE...\n"
    "       veltrane-cli tag from-v2 [--fields LIST] [--overwrite] [--codepage NAME] [--jobs N]\n"
    "                                [--no-undo] FILE...\n"
    "       veltrane-cli tag export [--format csv|tsv] [--recursive] [--codepage NAME] [--jobs N] PATH...\n"
    "       veltrane-cli tag import [--dry-run] [--format csv|tsv] [--codepage NAME] [--no-undo] FILE\n"
    "       veltrane-cli tag case --field LIST --mode title|upper|lower|sentence [--codepage NAME]\n"
    "                             [--dry-run] [--no-undo] FILE...\n"
    "       veltrane-cli tag replace --field LIST --find TEXT --with TEXT [--ignore-case] [--regex]\n"
    "                                [--codepage NAME] [--dry-run] [--no-undo] FILE...\n"
    "       veltrane-cli tag format --field FIELD --pattern PATTERN [--codepage NAME] [--dry-run]\n"
    "                               [--no-undo] FILE...\n"
    "       veltrane-cli tag codepage [--recursive] PATH...\n"
    "       veltrane-cli tag recode --from NAME|auto --to NAME [--dry-run] [--no-undo] FILE...\n"
    "  tag show --help, tag set --help and the like: more on each\n";

// The tool reads without touching a mode; the previous policy comes back for the window
// code sharing the process (tests).
class ReadOnlyScope {
  public:
    explicit ReadOnlyScope(bool Force) : previous_(ReadOnlyPolicy()) {
        SetReadOnlyPolicy({false, Force});
    }
    ~ReadOnlyScope() { SetReadOnlyPolicy(previous_); }
    ReadOnlyScope(const ReadOnlyScope&) = delete;
    ReadOnlyScope& operator=(const ReadOnlyScope&) = delete;

  private:
    TReadOnlyPolicy previous_;
};

// Takes "--force" out of the options of a command that writes tags; true when it was there.
bool TakeForce(std::vector<std::string>& Args) {
    const bool writes = (Args[0] == "tag" && Args.size() >= 2 &&
                         (Args[1] == "set" || Args[1] == "number" || Args[1] == "from-v2" ||
                          Args[1] == "import" || Args[1] == "recode")) ||
                        Args[0] == "from-name";
    bool force = false;
    for (auto it = Args.begin(); writes && it != Args.end() && *it != "--";) {
        if (*it == "--force") {
            it = Args.erase(it);
            force = true;
        } else {
            ++it;
        }
    }
    return force;
}

using Handler = std::function<int(const Args&, std::ostream&, std::ostream&)>;

struct Command {
    std::string_view name;
    Handler run;
};

} // namespace

void ReportFileError(std::ostream& err, const std::string& path, const std::string& text) {
    err << "veltrane-cli: " << path << ": " << text << '\n';
}

int RunCli(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    if (given.empty()) {
        err << "veltrane-cli: missing command (try --help)\n";
        return 2;
    }
    std::vector<std::string> args = given;
    const ReadOnlyScope readOnly(TakeForce(args));
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage;
        return 0;
    }
    if (args[0] == "--version") {
        out << "veltrane-cli " VELTRANE_VERSION "\n";
        return 0;
    }
    const Command commands[] = {
        {"find", RunFind},          {"list", RunList},       {"pack", RunPack},
        {"unpack", RunUnpack},      {"from-name", RunFromName}, {"rename", RunRename},
        {"select", RunSelect},      {"undo", RunUndo},
        {"playlist", [](const Args& a, std::ostream& o, std::ostream& e) {
             return RunPlaylist(a, std::cin, o, e);
         }},
    };
    try {
        if (args[0] == "tag") {
            if (args.size() >= 2 && (args[1] == "--help" || args[1] == "-h")) {
                out << kTagUsage;
                return 0;
            }
            if (args.size() < 2)
                throw UsageError("tag: missing sub-command (show, set, number, from-v2, export or import)");
            const Args rest(args.begin() + 2, args.end());
            if (args[1] == "show") return RunTagShow(rest, out, err);
            if (args[1] == "set") return RunTagSet(rest, out, err);
            if (args[1] == "number") return RunTagNumber(rest, out, err);
            if (args[1] == "from-v2") return RunTagFromV2(rest, out, err);
            if (args[1] == "export") return RunTagExport(rest, out, err);
            if (args[1] == "import") return RunTagImport(rest, out, err);
            if (args[1] == "case") return RunTagCase(rest, out, err);
            if (args[1] == "replace") return RunTagReplace(rest, out, err);
            if (args[1] == "format") return RunTagFormat(rest, out, err);
            if (args[1] == "codepage") return RunTagCodePage(rest, out, err);
            if (args[1] == "recode") return RunTagRecode(rest, out, err);
            throw UsageError("tag: unknown sub-command '" + Escape(args[1]) + "'");
        }
        for (const Command& c : commands) {
            if (args[0] == c.name)
                return c.run(Args(args.begin() + 1, args.end()), out, err);
        }
        throw UsageError("unknown command '" + Escape(args[0]) + "' (try --help)");
    } catch (const UsageError& e) {
        err << "veltrane-cli: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "veltrane-cli: " << e.what() << '\n';
        return 1;
    }
}

} // namespace veltrane::cli
