// A million files, every figure against one measured in the same run:
//  - memory: veltrane's peak with the filled list minus its peak with an empty one, per row;
//  - start to filled list (warm) against the list model alone, and the longest gap between two
//    passes of the event loop while the list fills;
//  - the sort by each column against std::stable_sort of the same keys;
//  - select all with the footer's count and size, select by text;
//  - painting one screen of rows at the top, the middle and the end;
//  - the multi-file save of one field over 100,000 rows against the open/write/close loop;
//  - cold `tag show --recursive` against the sequential C loop, warm against the C loop as
//    the median of alternating pairs, and `tag show` of 2,000 named files against `id3v2 -l`.
// The tree (1,000,000 sparse files in 2,000 folders, a tenth untagged, a tenth ID3v1.1) is
// kept between runs. Usage: bench_million [TREE] [FILES] [FOLDERS]
//   (default /var/tmp/veltrane-million 1000000 2000); a fourth argument "save" or "named" runs
//   that figure alone.

#include "BenchCommon.h"
#include "browser/FileList.h"
#include "browser/FindFile.h"
#include "browser/MainCommands.h"
#include "browser/VanishedFiles.h"
#include "components/ui/MultiLst.h"
#include "editing/ChangeJournal.h"
#include "editing/SelectSearch.h"
#include "editing/TagEditing.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace veltrane;
using namespace veltrane::bench;
namespace fs = std::filesystem;

namespace {

const char* Verdict(bool met) { return met ? "met" : "NOT met"; }

// Notes a failed check by name, so a bad run says what went wrong.
bool Check(bool& ok, bool good, const char* what) {
    if (!good)
        std::fprintf(stderr, "check failed: %s\n", what);
    ok = ok && good;
    return good;
}

std::string FilePath(const std::string& root, std::size_t i, std::size_t folders) {
    char name[160];
    std::snprintf(name, sizeof name, "/Folder %04zu/%07zu - Artist %zu - Song %zu.mp3",
                  i % folders, i, i % 97, i);
    return root + name;
}

// Files of 16,512 bytes like the open benchmark's: a hole, then the tag. Every tenth file
// has no tag, every tenth from the second on an ID3v1.1 track.
bool WriteFile(const std::string& path, std::size_t i) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    if (i % 10 == 0) {
        ok = ::ftruncate(fd, 129 * 128) == 0;
    } else {
        char tag[128] = {'T', 'A', 'G'};
        // Each text cut to its field, a zero after it.
        const auto put = [&tag](std::size_t at, std::size_t size, const std::string& text) {
            std::memcpy(tag + at, text.data(), std::min(text.size(), size - 1));
        };
        put(3, 30, "Song " + std::to_string(i));
        put(33, 30, "Artist " + std::to_string(i % 97));
        put(63, 30, "Album " + std::to_string(i % 211));
        std::memcpy(tag + 93, "1999", 4);
        put(97, 28, "Comment " + std::to_string(i));
        if (i % 10 == 1)
            tag[126] = static_cast<char>(i % 255 + 1);
        tag[127] = static_cast<char>(i % 80);
        ok = ::pwrite(fd, tag, sizeof tag, 128 * 128) == 128;
    }
    return ::close(fd) == 0 && ok;
}

// Builds the tree unless a finished one of this size is there. False: skipped (said why).
bool MakeTree(const std::string& root, std::size_t files, std::size_t folders) {
    const std::string stamp = root + "/.complete";
    const std::string want = std::to_string(files) + " " + std::to_string(folders) + "\n";
    if (std::FILE* f = std::fopen(stamp.c_str(), "r")) {
        char text[64] = {};
        const bool same = std::fgets(text, sizeof text, f) && want == text;
        std::fclose(f);
        if (same)
            return true;
    }
    fs::create_directories(root);
    struct statvfs vfs {};
    if (::statvfs(root.c_str(), &vfs) != 0)
        throw std::runtime_error(root + ": " + std::strerror(errno));
    const double freeBytes = static_cast<double>(vfs.f_bavail) * static_cast<double>(vfs.f_frsize);
    const double needBytes = static_cast<double>(files) * 4096 * 1.1 + 64e6;
    if (freeBytes < needBytes || vfs.f_favail < files + folders + 1000) {
        std::printf("skipped: %s has %.1f GB and %llu inodes free; the tree needs %.1f GB and "
                    "%zu inodes\n",
                    root.c_str(), freeBytes / 1e9, static_cast<unsigned long long>(vfs.f_favail),
                    needBytes / 1e9, files + folders);
        return false;
    }
    std::printf("building %zu files in %zu folders under %s...\n", files, folders, root.c_str());
    std::fflush(stdout);
    for (std::size_t f = 0; f < folders; ++f) {
        char name[64];
        std::snprintf(name, sizeof name, "/Folder %04zu", f);
        fs::create_directories(root + name);
    }
    for (std::size_t i = 0; i < files; ++i)
        if (!WriteFile(FilePath(root, i, folders), i))
            throw std::runtime_error("cannot write " + FilePath(root, i, folders));
    ::sync();
    if (std::FILE* f = std::fopen(stamp.c_str(), "w")) {
        std::fputs(want.c_str(), f);
        std::fclose(f);
    }
    return true;
}

struct ProgramRun {
    double ms = -1;
    std::size_t rows = 0;
    long peakKb = 0;
    long long gapMs = -1;
};

ProgramRun RunProgram(const std::string& dir, const std::string& workDir) {
    ProgramRun result;
    const std::string text = RunListingProgram(VELTRANE_PROGRAM, dir, workDir);
    long long ms = -1;
    if (std::sscanf(text.c_str(), "startup_to_list_ms %lld rows %zu peak_kb %ld longest_gap_ms %lld",
                    &ms, &result.rows, &result.peakKb, &result.gapMs) == 4)
        result.ms = static_cast<double>(ms);
    return result;
}

void DropCaches() {
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(fd, "3", 1);
        ::close(fd);
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

std::string UpperKey(std::string_view key) {
    std::string upper(key);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Every MP3 file below root, found straight into list.
void AimFinder(TFindFile& finder, const std::string& root, TFileList& list) {
    finder.Directory = root;
    finder.Recurse = true;
    finder.Filter = "*.mp3";
    finder.Sink = &list.FoundFiles();
}

void FillModel(TFileList& list, TFindFile& finder) {
    finder.Execute();
    list.UpdateList(finder.Directory);
}

// The multi-file save of one field over up to 100,000 rows of a tree of their own, best of
// three, and the open/write/close loop over the same files. False: the tree was skipped.
bool SaveFigures(const std::string& saveRoot, std::size_t saveFiles, bool& ok, double& save,
                 double& writeLoop) {
    if (!MakeTree(saveRoot, saveFiles, std::max<std::size_t>(saveFiles / 500, 1)))
        return false;
    TFileList saveList;
    TFindFile saveFinder;
    AimFinder(saveFinder, saveRoot, saveList);
    FillModel(saveList, saveFinder);
    // The untagged files get a tag from the save; written once first, both sides then
    // write over an existing tag.
    TEditMoreFields fields;
    fields.Album = {false, "Bench Album"};
    saveList.SetAllSelected(true);
    EditMoreRun(saveList, fields, nullptr);
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < saveList.Count(); ++i)
        paths.push_back(saveList.GetFileName(i));
    save = writeLoop = 1e300;
    for (int run = 0; run < 3; ++run) {
        writeLoop = std::min(writeLoop, BestOf(1, [&] { MinimalTagWriteLoop(paths); }));
        saveList.SetAllSelected(true);
        save = std::min(save, BestOf(1, [&] {
                            Check(ok, EditMoreRun(saveList, fields, nullptr).empty(), "multi-file save");
                        }));
    }
    return true;
}

void PrintSave(std::size_t files, double save, double writeLoop) {
    std::printf("multi-file save of %zu rows: %.0f ms, write loop %.0f ms: %.2f (<= 2) %s\n", files,
                save * 1000, writeLoop * 1000, save / writeLoop, Verdict(save / writeLoop <= 2));
}

} // namespace

// `tag show` of 2,000 named files against `id3v2 -l`, as alternating pairs; none when
// id3v2 is missing.
std::vector<double> NamedRatios(const std::string& cli, bool& ok) {
    const TaggedTree named(2000);
    std::vector<std::string> showNamed = {cli, "tag", "show"}, id3v2 = {"/usr/bin/id3v2", "-l"};
    showNamed.insert(showNamed.end(), named.Files().begin(), named.Files().end());
    id3v2.insert(id3v2.end(), named.Files().begin(), named.Files().end());
    std::vector<double> ratios;
    if (::access(id3v2[0].c_str(), X_OK) != 0)
        return ratios;
    MinimalTagReadLoop(named.Files());
    for (int pair = 0; pair < 9; ++pair) {
        const double ours = BestOf(1, [&] { Check(ok, RunSilently(showNamed) == 0, "tag show FILE..."); });
        const double peer = BestOf(1, [&] { RunSilently(id3v2); });
        ratios.push_back(peer / ours);
    }
    return ratios;
}

void PrintNamed(const std::vector<double>& ratios) {
    if (ratios.empty())
        return;
    const double faster = Median(ratios);
    std::printf("tag show of 2000 named files vs id3v2 -l, median of %zu pairs: %.2f times "
                "faster (>= 5) %s\n",
                ratios.size(), faster, Verdict(faster >= 5));
}

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : "/var/tmp/veltrane-million";
    const std::size_t files = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000000;
    const std::size_t folders = std::max<std::size_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 2000, 1);
    const std::string workDir = root + "-work";
    fs::create_directories(workDir + "/empty");
    bool ok = true;
    // The saves are journaled as the window's are, into a journal of the bench's own: the
    // user's undo history is left alone.
    TChangeJournal journal(workDir + "/state");
    SetActiveJournal(&journal);
    const std::size_t saveFiles = std::min<std::size_t>(100000, files);
    double save = 1e300, writeLoop = 1e300;
    // "save" as the fourth argument: the multi-file save's figure only.
    if (argc > 4 && std::strcmp(argv[4], "save") == 0) {
        if (SaveFigures(root + "-save", saveFiles, ok, save, writeLoop))
            PrintSave(saveFiles, save, writeLoop);
        fs::remove_all(workDir);
        return ok ? 0 : 1;
    }
    // "named": the 2,000 named files' figure only.
    if (argc > 4 && std::strcmp(argv[4], "named") == 0) {
        PrintNamed(NamedRatios(VELTRANE_CLI_PATH, ok));
        fs::remove_all(workDir);
        return ok ? 0 : 1;
    }
    if (!MakeTree(root, files, folders))
        return 0;

    // --- The list model alone, then the program, warm.
    TFileList list;
    TFindFile finder;
    AimFinder(finder, root, list);
    FillModel(list, finder); // warms the caches
    if (list.Count() != files + 1) {
        std::fprintf(stderr, "listed %zu rows, expected %zu\n", list.Count() - 1, files);
        return 1;
    }
    // "filter": a word typed into the filter box one key at a time, over every row.
    if (argc > 4 && std::strcmp(argv[4], "filter") == 0) {
        const std::string name(TFileList::GetStringItem(1, list.ItemText(list.Count() / 2)));
        const std::size_t dot = name.rfind('.');
        const std::string word = name.substr(dot > 7 ? dot - 7 : 0, std::min<std::size_t>(dot, 7));
        double first = 0;
        std::vector<double> rest;
        for (int round = 0; round < 3; ++round) {
            list.SetFilter("");
            for (std::size_t k = 1; k <= word.size(); ++k) {
                const double t = BestOf(1, [&] { list.SetFilter(word.substr(0, k)); });
                if (k == 1)
                    first = round == 0 ? t : std::min(first, t);
                else
                    rest.push_back(t);
            }
        }
        Check(ok, list.FileRowsShown() >= 1, "the typed word finds its row");
        const double median = rest.empty() ? 0 : Median(rest);
        std::printf("filter: typing \"%s\" over %zu rows: first key %.0f ms (<= 500), then median "
                    "%.1f ms (<= 100) %s\n",
                    word.c_str(), files, first * 1000, median * 1000,
                    Verdict(first <= 0.5 && median <= 0.1));
        fs::remove_all(workDir);
        return ok ? 0 : 1;
    }
    double model = 1e300;
    std::vector<double> programMs;
    std::vector<long> peaks;
    long long gap = 0;
    for (int round = 0; round < 3; ++round) {
        model = std::min(model, BestOf(1, [&] { FillModel(list, finder); }));
        const ProgramRun r = RunProgram(root, workDir);
        Check(ok, r.rows == files, "program rows");
        programMs.push_back(r.ms);
        peaks.push_back(r.peakKb);
        gap = std::max(gap, r.gapMs);
    }
    std::vector<long> emptyPeaks;
    for (int round = 0; round < 3; ++round)
        emptyPeaks.push_back(RunProgram(workDir + "/empty", workDir).peakKb);
    const double program = *std::min_element(programMs.begin(), programMs.end());
    const long peak = *std::min_element(peaks.begin(), peaks.end());
    const long emptyPeak = *std::min_element(emptyPeaks.begin(), emptyPeaks.end());
    const double perRow = static_cast<double>(peak - emptyPeak) * 1024.0 / static_cast<double>(files);

    // --- Sorting by each column, against std::stable_sort of the same keys in the same
    // (reversed reading) order.
    struct SortFigure {
        double model, plain;
    };
    std::vector<SortFigure> sorts;
    for (int column = 1; column <= kFileListColumnCount; ++column) {
        double modelSort = 1e300, plain = 1e300;
        for (int run = 0; run < 2; ++run) {
            std::vector<std::string> keys;
            std::vector<unsigned> numbers;
            keys.reserve(column == kTrackColumn ? 0 : files);
            std::string text;
            for (std::size_t i = list.Count() - 1; i >= 1; --i) {
                text.clear();
                list.AppendItemText(i, text);
                const std::string_view key = TFileList::GetStringItem(column, text);
                if (column == kTrackColumn)
                    numbers.push_back(key.empty() ? 256u : static_cast<unsigned>(std::stoul(std::string(key))));
                else
                    keys.push_back(UpperKey(key));
            }
            plain = std::min(plain, BestOf(1, [&] {
                                 if (column == kTrackColumn)
                                     std::stable_sort(numbers.begin(), numbers.end());
                                 else
                                     std::stable_sort(keys.begin(), keys.end());
                             }));
            keys = {};
            list.SetSortColumn(column == 1 ? 2 : 1); // the click below sorts ascending
            modelSort = std::min(modelSort, BestOf(1, [&] { list.MultiListMP3ListHeaderClick(column - 1); }));
        }
        sorts.push_back({modelSort, plain});
    }

    // --- Select all with the footer, select by text.
    const double selectAll = BestOf(3, [&] {
        list.SetAllSelected(false);
        list.SetAllSelected(true);
        const TSelectedSize size = FooterSize(list);
        const TFooterTexts texts = FooterTexts(SelectedFileCount(list), size.Bytes);
        Check(ok, texts.Count == std::to_string(files) + " files selected", "footer count");
    });
    TSelectSearch search;
    search.Text = "song 12345";
    const double selectText = BestOf(3, [&] { ApplySelectSearch(list, TDeSelectMode::dmSelect, search); });
    Check(ok, list.SelCount() == (files > 123459 ? 11u : files > 12345 ? 1u : 0u), "select by text"); // Song 12345, 123450 to 123459

    // --- One screen of rows at the top, the middle and the end.
    int qtArgc = 1;
    char qtName[] = "bench_million";
    char* qtArgv[] = {qtName, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(qtArgc, qtArgv);
    TMultiList view;
    view.SetItems(&list);
    view.SetHeaderSections({"FileName", "Song", "Artist", "Album", "Year", "Genre", "Comment", "Track"});
    view.resize(1200, 900);
    view.show();
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    double paint[3] = {0, 0, 0};
    // By name, the folders' rows follow each other; the three screens show the same kind of
    // rows (untagged, like every tenth folder's), so they differ by position alone.
    list.SetSortColumn(2);
    list.MultiListMP3ListHeaderClick(0);
    const std::size_t perFolder = files / folders;
    const std::size_t lastLike = (folders - 1) / 10 * 10;
    const std::size_t tops[3] = {0, folders / 2 / 10 * 10 * perFolder,
                                 std::min(lastLike * perFolder, files > 40 ? files - 40 : 0)};
    list.SetAllSelected(false);
    for (std::size_t i = 1; i < list.Count(); i += 3)
        list.SetSelected(i, true);
    for (int k = 0; k < 3; ++k) {
        view.SetTopIndex(tops[k]);
        paint[k] = BestOf(50, [&] { view.viewport()->render(&image); });
    }
    const double scrollRatio = std::max(paint[1], paint[2]) / paint[0];

    // "list" as the fourth argument: the list's figures only.
    const bool listOnly = argc > 4 && std::strcmp(argv[4], "list") == 0;
    if (listOnly) {
        for (int column = 1; column <= kFileListColumnCount; ++column)
            std::printf("sort by %-8s: %6.0f ms; std::stable_sort %6.0f ms\n",
                        std::string(kFileListColumns[column - 1]).c_str(),
                        sorts[static_cast<std::size_t>(column - 1)].model * 1000,
                        sorts[static_cast<std::size_t>(column - 1)].plain * 1000);
        std::printf("select by text %.0f ms, memory %.0f bytes a row, gap %lld ms, painting "
                    "%.2f %.2f %.2f ms at rows %zu %zu %zu\n",
                    selectText * 1000, perRow, gap, paint[0] * 1000, paint[1] * 1000,
                    paint[2] * 1000, tops[0], tops[1], tops[2]);
        return 0;
    }

    // --- The multi-file save over 100,000 rows of a tree of their own.
    SaveFigures(root + "-save", saveFiles, ok, save, writeLoop);

    // --- tag show: cold against the C loop, warm as the median of alternating pairs.
    const std::string cli = VELTRANE_CLI_PATH;
    std::vector<std::string> paths;
    {
        TFindFile plain;
        plain.Directory = root;
        plain.Recurse = true;
        plain.Filter = "*.mp3";
        plain.Execute();
        paths = std::move(plain.Files);
    }
    const std::vector<std::string> show = {cli, "tag", "show", "--recursive", root};
    DropCaches();
    const double coldLoop = BestOf(1, [&] { MinimalTagReadLoop(paths); });
    DropCaches();
    const double coldShow = BestOf(1, [&] { Check(ok, RunSilently(show) == 0, "tag show --recursive"); });
    MinimalTagReadLoop(paths);
    std::vector<double> warmRatios;
    for (int pair = 0; pair < 9; ++pair) {
        const double loop = BestOf(1, [&] { MinimalTagReadLoop(paths); });
        const double shown = BestOf(1, [&] { Check(ok, RunSilently(show) == 0, "tag show --recursive"); });
        warmRatios.push_back(shown / loop);
    }
    paths = {};

    const std::vector<double> namedRatios = NamedRatios(cli, ok);
    fs::remove_all(workDir);

    // --- The figures.
    std::printf("\n%zu files in %zu folders (a tenth untagged, a tenth ID3v1.1)\n", files, folders);
    std::printf("memory: peak %.1f MB filled, %.1f MB empty: %.0f bytes a row (<= 150) %s\n",
                peak / 1024.0, emptyPeak / 1024.0, perRow, Verdict(perRow <= 150));
    std::printf("start to filled list (warm): %.0f ms, list model alone %.0f ms: %.2f (<= 1.3) %s\n",
                program, model * 1000, program / 1000 / model, Verdict(program / 1000 / model <= 1.3));
    std::printf("longest gap between event loop passes while filling: %lld ms (< 100) %s\n", gap,
                Verdict(gap >= 0 && gap < 100));
    for (int column = 1; column <= kFileListColumnCount; ++column) {
        const SortFigure& s = sorts[static_cast<std::size_t>(column - 1)];
        std::printf("sort by %-8s: %6.0f ms (<= 1500) %s; std::stable_sort %6.0f ms: %.2f (<= 2) %s\n",
                    std::string(kFileListColumns[column - 1]).c_str(), s.model * 1000,
                    Verdict(s.model <= 1.5), s.plain * 1000, s.model / s.plain,
                    Verdict(s.model / s.plain <= 2));
    }
    std::printf("select all with the footer's count and size: %.1f ms (< 100) %s\n", selectAll * 1000,
                Verdict(selectAll < 0.1));
    std::printf("select by text: %.0f ms (< 1000) %s\n", selectText * 1000, Verdict(selectText < 1));
    std::printf("painting one screen: top %.2f ms, middle %.2f ms, end %.2f ms (rows %zu, %zu, "
                "%zu): %.2f (<= 1.2) %s\n",
                paint[0] * 1000, paint[1] * 1000, paint[2] * 1000, tops[0], tops[1], tops[2], scrollRatio,
                Verdict(scrollRatio <= 1.2));
    if (save < 1e299)
        PrintSave(saveFiles, save, writeLoop);
    std::printf("cold tag show --recursive: %.0f ms, C loop %.0f ms: %.2f times faster (>= 2.5) %s\n",
                coldShow * 1000, coldLoop * 1000, coldLoop / coldShow, Verdict(coldLoop / coldShow >= 2.5));
    const double warm = Median(warmRatios);
    std::printf("warm tag show --recursive / C loop, median of %zu pairs: %.2f (<= 1.2) %s\n",
                warmRatios.size(), warm, Verdict(warm <= 1.2));
    PrintNamed(namedRatios);
    if (!ok) {
        std::fprintf(stderr, "a run failed or listed the wrong number of rows\n");
        return 1;
    }
    return 0;
}
