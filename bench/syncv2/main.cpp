// ID3v2 tags kept in step: "tag set --sync-v2 --album X" on 2,000 files whose ID3v2 tags have
// padding, against a plain "tag set --album X" of the same files (target: within 2x), measured
// in the same run; and 2,000 files whose tags must grow, printed beside it.

#include "BenchCommon.h"

#include "cli/Cli.h"
#include "editing/ChangeJournal.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

int Run(const std::vector<std::string>& args) {
    NullBuffer null;
    std::ostream out(&null);
    std::ostringstream err;
    const int status = cli::RunCli(args, out, err);
    if (status != 0)
        std::fprintf(stderr, "%s", err.str().substr(0, 2000).c_str());
    return status;
}

std::string Frame(const std::string& Id, const std::string& Data) {
    const auto n = static_cast<std::uint32_t>(Data.size());
    std::string f = Id;
    for (int shift = 24; shift >= 0; shift -= 8)
        f += static_cast<char>((n >> shift) & 0xFF);
    return f + std::string(2, '\0') + Data;
}

// A v2.3 tag as other programs write it: the text frames, a user text frame and a small
// picture, then Padding zero bytes.
std::string V2Tag(std::size_t Padding) {
    std::string frames =
        Frame("TIT2", std::string("\0A title", 8)) + Frame("TPE1", std::string("\0An artist", 10)) +
        Frame("TALB", std::string("\0Old album", 10)) +
        Frame("TXXX", std::string("\0foo\0bar", 8)) +
        Frame("APIC", std::string("\0image/png\0\x03\0", 13) + std::string(2000, 'p'));
    frames.append(Padding, '\0');
    const auto n = static_cast<std::uint32_t>(frames.size());
    std::string tag = std::string("ID3\x03\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>((n >> shift) & 0x7F);
    return tag + frames;
}

// Puts Tag in front of each file.
void Prefix(const std::vector<std::string>& Files, const std::string& Tag) {
    for (const std::string& path : Files) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        in.close();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << Tag << bytes;
    }
}

std::vector<std::string> SetArgs(const std::vector<std::string>& Files, bool Sync) {
    std::vector<std::string> args = {"tag", "set", "--album", ""};
    if (Sync)
        args.push_back("--sync-v2");
    args.insert(args.end(), Files.begin(), Files.end());
    return args;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2000;
    constexpr std::size_t kAudio = 16384;
    constexpr int kRounds = 5;
    std::printf("building 2 x %zu files with ID3v2 tags (%zu audio bytes each)...\n", files,
                kAudio);
    const TaggedTree padded(files, kAudio);
    Prefix(padded.Files(), V2Tag(1024));
    const std::string state = padded.Root() + "-state";
    TChangeJournal journal(state);
    SetActiveJournal(&journal);
    int failed = 0;

    // Alternating, so that neither kind runs on a warmer cache; every round a new album, so
    // every file changes.
    std::vector<std::string> plainArgs = SetArgs(padded.Files(), false);
    std::vector<std::string> syncArgs = SetArgs(padded.Files(), true);
    failed += Run(plainArgs); // warm the cache (album "")
    double plain = 1e300, synced = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        plainArgs[3] = "Plain " + std::to_string(round);
        Stopwatch w;
        failed += Run(plainArgs);
        plain = std::min(plain, w.Seconds());
        syncArgs[3] = "Synced " + std::to_string(round);
        w.Restart();
        failed += Run(syncArgs);
        synced = std::min(synced, w.Seconds());
    }

    // Tight tags: the new album does not fit, so each file is written anew beside itself. A
    // file grows once (it gets room for the next change), so each round takes fresh files.
    double grown = 1e300;
    for (int round = 0; round < 2; ++round) {
        const TaggedTree tight(files, kAudio);
        Prefix(tight.Files(), V2Tag(0));
        std::vector<std::string> growArgs = SetArgs(tight.Files(), true);
        growArgs[3] = "An album name that makes the tag grow";
        Stopwatch w;
        failed += Run(growArgs);
        grown = std::min(grown, w.Seconds());
    }

    std::printf("                                           wall ms   ratio\n");
    std::printf("tag set --album, %zu padded files        %8.1f\n", files, plain * 1000);
    std::printf("tag set --sync-v2 --album, same files    %8.1f   %5.2f  (target 2: %s)\n",
                synced * 1000, synced / plain, synced / plain <= 2 ? "met" : "NOT met");
    std::printf("tag set --sync-v2 --album, %zu growing   %8.1f   %5.2f\n", files, grown * 1000,
                grown / plain);
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
    if (failed)
        std::printf("(some runs failed!)\n");
    return failed == 0 ? 0 : 1;
}
