// Tag tables on 100,000 files: "tag export" against "tag show --recursive" of the same tree,
// and "tag import" of a table that sets one album for every file against one "tag set
// --album" of the same files (targets: each within 1.5x), measured in the same run.

#include "BenchCommon.h"

#include "cli/Cli.h"
#include "editing/ChangeJournal.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

using namespace veltrane;
using namespace veltrane::bench;

namespace {

class NullBuffer : public std::streambuf {
  protected:
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int overflow(int c) override { return c; }
};

int Run(const std::vector<std::string>& args, std::ostream& out) {
    std::ostringstream err;
    const int status = cli::RunCli(args, out, err);
    if (status != 0)
        std::fprintf(stderr, "%s", err.str().substr(0, 2000).c_str());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::printf("building %zu tagged files...\n", files);
    const TaggedTree tree(files);
    const std::string state = tree.Root() + "-state";
    TChangeJournal journal(state);
    SetActiveJournal(&journal);
    NullBuffer null;
    std::ostream sink(&null);
    int failed = 0;

    failed += Run({"tag", "show", "--recursive", tree.Root()}, sink); // warm the cache
    const double show = BestOf(5, [&] { failed += Run({"tag", "show", "--recursive", tree.Root()}, sink); });
    const double exported =
        BestOf(5, [&] { failed += Run({"tag", "export", "--recursive", tree.Root()}, sink); });

    // One table per round, each with an album of its own, so every import changes every file.
    std::ostringstream table;
    Run({"tag", "export", "--recursive", tree.Root()}, table);
    const std::string csv = table.str();
    const auto withAlbum = [&](const std::string& album) {
        // path,title,artist,album,...: the fourth field of each row becomes the album.
        std::string out;
        std::size_t start = csv.find("\r\n") + 2;
        out.append(csv, 0, start);
        while (start < csv.size()) {
            const std::size_t end = csv.find("\r\n", start);
            const std::string row = csv.substr(start, end - start);
            std::size_t c1 = row.find(','), c2 = row.find(',', c1 + 1), c3 = row.find(',', c2 + 1),
                        c4 = row.find(',', c3 + 1);
            out += row.substr(0, c3 + 1) + album + row.substr(c4) + "\r\n";
            start = end + 2;
        }
        return out;
    };
    const std::string tableFile = tree.Root() + "-table.csv";
    std::vector<std::string> setArgs = {"tag", "set", "--album", ""};
    setArgs.insert(setArgs.end(), tree.Files().begin(), tree.Files().end());
    double set = 1e300, imported = 1e300;
    for (int round = 0; round < 3; ++round) {
        setArgs[3] = "Set " + std::to_string(round);
        Stopwatch w;
        failed += Run(setArgs, sink);
        set = std::min(set, w.Seconds());
        std::ofstream(tableFile, std::ios::binary) << withAlbum("Import " + std::to_string(round));
        w.Restart();
        failed += Run({"tag", "import", tableFile}, sink);
        imported = std::min(imported, w.Seconds());
    }
    std::printf("                                   wall ms   ratio\n");
    std::printf("tag show --recursive              %8.1f\n", show * 1000);
    std::printf("tag export --recursive            %8.1f   %5.2f  (target 1.5: %s)\n",
                exported * 1000, exported / show, exported / show <= 1.5 ? "met" : "NOT met");
    std::printf("tag set --album (all files)       %8.1f\n", set * 1000);
    std::printf("tag import (album of all files)   %8.1f   %5.2f  (target 1.5: %s)\n",
                imported * 1000, imported / set, imported / set <= 1.5 ? "met" : "NOT met");
    std::error_code ec;
    std::filesystem::remove(tableFile, ec);
    std::filesystem::remove_all(state, ec);
    if (failed)
        std::printf("(some runs failed!)\n");
    return failed == 0 ? 0 : 1;
}
