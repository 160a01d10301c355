// Fills the ID3v1 tags of 2,000 files that carry ID3v2.4 tags and no ID3v1 tag, with one
// "veltrane-cli tag from-v2" over all of them, against "mid3cp --write-v1 FILE FILE" run per
// file (target: at least 10 times faster) and one "kid3-cli -c 'select all' -c 'syncto 1'
// -c save FILE..." (target: at least 3 times faster). Each contender gets fresh copies of
// the files; a peer that is not installed is skipped.
//
//   bench_fromv2 [FILES [MID3CP_FILES]]
// MID3CP_FILES times mid3cp on the first that many files only (it starts a Python process
// per file) and scales the time to all of them.

#include "BenchCommon.h"

#include <commentsframe.h>
#include <id3v2tag.h>
#include <textidentificationframe.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace veltrane::bench;
namespace fs = std::filesystem;

namespace {

void Text(TagLib::ID3v2::Tag& tag, const char* id, const std::string& value) {
    auto* f = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
    f->setText(TagLib::String(value, TagLib::String::UTF8));
    tag.addFrame(f);
}

// A file as a modern tagger leaves it: an ID3v2.4 tag with padding, then the audio.
std::string FileBytes(std::size_t i) {
    TagLib::ID3v2::Tag tag;
    Text(tag, "TIT2", "Song number " + std::to_string(i));
    Text(tag, "TPE1", "Artist " + std::to_string(i % 97));
    Text(tag, "TALB", "Album " + std::to_string(i % 13));
    Text(tag, "TDRC", "2004-05-01");
    Text(tag, "TCON", "Rock");
    Text(tag, "TRCK", std::to_string(i % 20 + 1) + "/20");
    auto* c = new TagLib::ID3v2::CommentsFrame(TagLib::String::UTF8);
    c->setText("made for the benchmark");
    tag.addFrame(c);
    const TagLib::ByteVector v2 = tag.render();
    std::string bytes(v2.data(), v2.size());
    bytes += std::string(1024, '\0'); // padding, as taggers leave room
    std::string audio(64 * 1024, '\0');
    for (std::size_t k = 0; k < audio.size(); ++k)
        audio[k] = static_cast<char>(0xFF - (k * 7) % 97);
    return bytes + audio;
}

// A fresh folder with the files.
std::vector<std::string> FreshCopies(const fs::path& dir, const std::vector<std::string>& bytes) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        paths.push_back((dir / ("song" + std::to_string(i) + ".mp3")).string());
        std::ofstream(paths.back(), std::ios::binary) << bytes[i];
    }
    MinimalTagReadLoop(paths); // the same warm cache for every contender
    return paths;
}

std::size_t WithId3v1(const std::vector<std::string>& paths) {
    return MinimalTagReadLoop(paths);
}

// The program's full path ("" when it is not installed): the runner does not search PATH.
std::string Which(const char* program) {
    std::string path;
    if (FILE* p = ::popen((std::string("command -v ") + program + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        if (std::fgets(buffer, sizeof buffer, p))
            path = buffer;
        ::pclose(p);
    }
    while (!path.empty() && (path.back() == '\n' || path.back() == ' '))
        path.pop_back();
    return path;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2000;
    const std::size_t mid3cpFiles =
        std::min(files, argc > 2 ? std::strtoul(argv[2], nullptr, 10) : files);
    char pattern[] = "/tmp/veltrane-bench-fromv2-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const fs::path root = pattern;
    // The fill's journal goes here, not into the user's.
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    std::vector<std::string> bytes;
    for (std::size_t i = 0; i < files; ++i)
        bytes.push_back(FileBytes(i));
    std::printf("%zu files with ID3v2.4 tags and no ID3v1 tag\n", files);

    std::vector<std::string> paths = FreshCopies(root / "ours", bytes);
    std::vector<std::string> argvOurs = {VELTRANE_CLI, "tag", "from-v2"};
    argvOurs.insert(argvOurs.end(), paths.begin(), paths.end());
    Stopwatch watch;
    const int rc = RunSilently(argvOurs);
    const double ours = watch.Seconds();
    std::printf("veltrane-cli tag from-v2, one command:   %8.3f s (exit %d, %zu filled)\n", ours,
                rc, WithId3v1(paths));
    if (rc != 0 || WithId3v1(paths) != files) {
        std::fprintf(stderr, "the fill did not fill every file\n");
        fs::remove_all(root);
        return 1;
    }

    bool ok = true;
    if (const std::string mid3cp = Which("mid3cp"); !mid3cp.empty()) {
        paths = FreshCopies(root / "mid3cp", bytes);
        watch.Restart();
        for (std::size_t i = 0; i < mid3cpFiles; ++i)
            RunSilently({mid3cp, "--write-v1", paths[i], paths[i]});
        const double measured = watch.Seconds();
        const double all = measured * static_cast<double>(files) / static_cast<double>(mid3cpFiles);
        const std::vector<std::string> done(paths.begin(), paths.begin() + mid3cpFiles);
        std::printf("mid3cp --write-v1 per file:               %8.3f s (%zu of %zu files timed, "
                    "%zu filled)\n",
                    all, mid3cpFiles, files, WithId3v1(done));
        const double ratio = all / ours;
        std::printf("  ratio %.1fx (target >= 10x): %s\n", ratio, ratio >= 10 ? "met" : "MISSED");
        ok = ok && ratio >= 10;
    } else {
        std::printf("mid3cp: skipped, not installed (Debian python3-mutagen)\n");
    }
    if (const std::string kid3 = Which("kid3-cli"); !kid3.empty()) {
        paths = FreshCopies(root / "kid3", bytes);
        std::vector<std::string> args = {kid3, "-c", "select all", "-c", "syncto 1",
                                         "-c", "save"};
        args.insert(args.end(), paths.begin(), paths.end());
        watch.Restart();
        RunSilently(args);
        const double seconds = watch.Seconds();
        std::printf("kid3-cli syncto 1, one command:           %8.3f s (%zu filled)\n", seconds,
                    WithId3v1(paths));
        const double ratio = seconds / ours;
        std::printf("  ratio %.1fx (target >= 3x): %s\n", ratio, ratio >= 3 ? "met" : "MISSED");
        ok = ok && ratio >= 3;
    } else {
        std::printf("kid3-cli: skipped, not installed (Debian kid3-cli)\n");
    }
    fs::remove_all(root);
    return ok ? 0 : 1;
}
