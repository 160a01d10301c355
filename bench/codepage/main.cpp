// The cost of the "auto" code page on a mixed collection, against a fixed code page, measured
// in one run:
//  - `veltrane-cli tag show --recursive --codepage auto` against `--codepage WINDOWS-1252`,
//    warm, as alternating runs (target: the median within 1.2x); cold too when the caches can
//    be dropped (for scale, no target);
//  - the window's fill (search and UpdateList of TFileList) with "auto" and the ID3v2 hint
//    against a fixed code page, alternating (target: the median within 1.2x);
//  - the fill's peak memory a row above an empty listing, "auto" against fixed (target: at most
//    2 bytes a row more), each fill in a process of its own.
// The tree: 100,000 sparse files of 16,512 bytes in 1,000 album folders, ASCII names. Most tags
// are ASCII; a quarter of the folders hold tags in legacy code pages (Windows-1250 to 1256,
// CP932, CP936, CP949, CP950), a twentieth UTF-8; a tenth of the legacy files and a few others
// carry an ID3v2 tag whose title and artist are UTF-16. Built once and kept.
// Usage: bench_codepage [TREE] [WARM PAIRS] [COLD PAIRS]
//   (default /var/tmp/veltrane-codepage 7 1)

#include "BenchCommon.h"
#include "browser/FileList.h"
#include "browser/FindFile.h"
#include "id3v2/Id3v2Reader.h"
#include "tagcore/CodePageGuess.h"
#include "tagcore/TagCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iconv.h>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace veltrane;
using namespace veltrane::bench;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFiles = 100000;
constexpr std::size_t kFolders = 1000;

const char* Verdict(bool met) { return met ? "met" : "NOT met"; }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0
           : v.size() % 2
               ? v[v.size() / 2]
               : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Words of one language, UTF-8, and the code page its tags are written in.
struct TScriptWords {
    const char* CodePage;
    std::vector<std::string_view> Words;
};

// clang-format off
const std::vector<TScriptWords>& LegacyScripts() {
    static const std::vector<TScriptWords> scripts = {
        {"WINDOWS-1251", {"Любовь", "Ночь", "Город", "Песня", "Звезда", "Время", "Дорога",
                          "Весна", "Сердце", "Море", "Ветер", "Небо", "Последний", "Тихий",
                          "Белый", "Снег", "Кино", "Группа", "Крови", "Осень", "Мама"}},
        {"WINDOWS-1250", {"Miłość", "Żółty", "Księżyc", "Wiosna", "Děkuji", "Srdce", "Píseň",
                          "Łąka", "Noc", "Światło", "Řeka", "Cesta", "Dziewczyna", "Léto",
                          "Zima", "Słońce", "Půlnoc", "Ještě"}},
        {"WINDOWS-1253", {"Αγάπη", "Νύχτα", "Θάλασσα", "Καρδιά", "Ουρανός", "Τραγούδι",
                          "Όνειρο", "Φως", "Καλοκαίρι", "Φίλε", "Μου", "Ζωή", "Δρόμος"}},
        {"WINDOWS-1254", {"Aşk", "Gönül", "Yıldız", "Şarkı", "Güneş", "Sevgili", "Işık",
                          "Gece", "Çiçek", "Değil", "Ağlama", "Hüzün", "Bir", "Gün"}},
        {"WINDOWS-1255", {"אהבה", "לילה", "שיר", "ים", "אור", "חלום", "שלום", "ירושלים",
                          "בית", "עולם"}},
        {"WINDOWS-1256", {"حب", "ليل", "قلب", "أغنية", "بحر", "نور", "حلم", "حبيبي", "عيون",
                          "سلام"}},
        {"CP932", {"夜空", "桜", "涙", "君の名前", "さくら", "ありがとう", "夢", "恋", "星空",
                   "東京", "メロディー", "永遠", "世界", "青春", "ひまわり"}},
        {"CP936", {"月亮", "爱情", "我的", "朋友", "时间", "回家", "梦想", "天空", "寂寞",
                   "城市", "故乡", "春天", "温柔"}},
        {"CP950", {"愛情", "時間", "夢想", "讓我", "離開", "風雨", "電影", "聽海", "溫柔",
                   "遠方", "朋友", "傷心"}},
        {"CP949", {"사랑", "이별", "눈물", "하늘", "친구", "우리", "바람", "기억", "너에게",
                   "그대", "봄날", "노래"}},
    };
    return scripts;
}
// clang-format on

const std::vector<std::string_view> kAsciiWords = {
    "Love",  "Night", "City",  "Song",    "Star",   "Time",  "Road",   "Spring", "Heart",
    "Sea",   "Wind",  "Sky",   "Last",    "Quiet",  "White", "Snow",   "Blue",   "Dream",
    "Light", "River", "Home",  "Forever", "Summer", "Rain",  "Fire",   "Gold",   "Angel"};

// UTF-8 text in the code page; throws for a character it cannot hold.
std::string Convert(std::string_view utf8, const char* to) {
    const iconv_t cd = ::iconv_open(to, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot write ") + to);
    std::string in(utf8), out(utf8.size() * 4 + 8, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const std::size_t rc = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        throw std::runtime_error(std::string(utf8) + " does not fit " + to);
    out.resize(out.size() - outLeft);
    return out;
}

// Words picked by Seed, joined by blanks while they fit Width bytes in the code page: {UTF-8
// text, code-page bytes}. Seeds apart by a multiple of the word count differ in their later
// words, so an album's titles differ as real ones do. A few texts get an ASCII word.
// Seed / N^K: word K of a text changes when word K - 1 has gone through all N words.
std::size_t Scaled(std::size_t seed, std::size_t n, std::size_t k) {
    for (; k > 0; --k)
        seed /= n;
    return seed;
}

std::pair<std::string, std::string> Text(const std::vector<std::string_view>& words,
                                         const char* codePage, std::size_t seed, std::size_t count,
                                         std::size_t width) {
    std::string utf8, bytes;
    for (std::size_t k = 0; k < count; ++k) {
        const bool ascii = seed % 7 == 0 && k == count - 1;
        const std::string_view word =
            ascii ? kAsciiWords[seed % kAsciiWords.size()]
                  : words[(Scaled(seed, words.size(), k) * 7 + k * 5) % words.size()];
        const std::string sep = k == 0 ? "" : " ";
        const std::string encoded = Convert(std::string(word), codePage);
        if (bytes.size() + sep.size() + encoded.size() > width)
            break;
        utf8 += sep + std::string(word);
        bytes += sep + encoded;
    }
    return {utf8, bytes};
}

std::string Utf16Frame(const char* id, const std::string& utf8) {
    const std::string body = std::string("\x01\xFF\xFE", 3) + Convert(utf8, "UTF-16LE");
    const auto n = static_cast<std::uint32_t>(body.size());
    std::string f = id;
    for (int shift = 24; shift >= 0; shift -= 8)
        f += static_cast<char>((n >> shift) & 0xFF);
    return f + std::string(2, '\0') + body;
}

// A v2.3 tag with the title and artist in UTF-16, and some padding.
std::string Id3v2Tag(const std::string& title, const std::string& artist) {
    std::string frames = Utf16Frame("TIT2", title) + Utf16Frame("TPE1", artist);
    frames.append(256, '\0');
    const auto n = static_cast<std::uint32_t>(frames.size());
    std::string tag = std::string("ID3\x03\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>((n >> shift) & 0x7F);
    return tag + frames;
}

// What a folder's tags are written in: "" for ASCII.
const TScriptWords* FolderScript(std::size_t folder, bool& utf8) {
    static const TScriptWords mixed = {"UTF-8", [] {
                                           std::vector<std::string_view> all;
                                           for (const TScriptWords& s : LegacyScripts())
                                               all.insert(all.end(), s.Words.begin(),
                                                          s.Words.end());
                                           return all;
                                       }()};
    const std::size_t kind = folder % 20;
    utf8 = kind == 19;
    if (utf8)
        return &mixed;
    if (kind < 14)
        return nullptr;
    const auto& scripts = LegacyScripts();
    return &scripts[(folder / 20 * 5 + kind - 14) % scripts.size()];
}

std::string FolderName(std::size_t folder) {
    char name[64];
    std::snprintf(name, sizeof name, "/Album %04zu", folder);
    return name;
}

// File I of the tree: its tag (and perhaps an ID3v2 tag at its start).
void WriteFile(const std::string& root, std::size_t i) {
    const std::size_t folder = i % kFolders, track = i / kFolders + 1;
    char name[64];
    std::snprintf(name, sizeof name, "/%03zu - Track %zu.mp3", track, i);
    const std::string path = root + FolderName(folder) + name;
    bool utf8 = false;
    const TScriptWords* script = FolderScript(folder, utf8);
    std::pair<std::string, std::string> title, artist, album;
    std::string v2;
    if (script) {
        title = Text(script->Words, script->CodePage, i, 2 + i % 2, 30);
        artist = Text(script->Words, script->CodePage, folder * 3 + 1, 1 + folder % 2, 30);
        album = Text(script->Words, script->CodePage, folder * 5 + 2, 2, 30);
        if (i % 10 == 3)
            v2 = Id3v2Tag(title.first, artist.first);
    } else {
        title = Text(kAsciiWords, "ASCII", i, 2 + i % 3, 30);
        artist = Text(kAsciiWords, "ASCII", folder * 3 + 1, 2, 30);
        album = Text(kAsciiWords, "ASCII", folder * 5 + 2, 2, 30);
        if (i % 50 == 7)
            v2 = Id3v2Tag(title.first, artist.first);
    }
    char tag[128] = {'T', 'A', 'G'};
    std::memcpy(tag + 3, title.second.data(), title.second.size());
    std::memcpy(tag + 33, artist.second.data(), artist.second.size());
    std::memcpy(tag + 63, album.second.data(), album.second.size());
    std::snprintf(tag + 93, 5, "%04zu", 1970 + folder % 50);
    tag[97] = '\0';
    if (i % 4 == 0)
        std::memcpy(tag + 97, "Ripped", 6);
    tag[126] = static_cast<char>(track % 255);
    tag[127] = static_cast<char>(folder % 80);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error(path + ": " + std::strerror(errno));
    const bool ok = ::pwrite(fd, v2.data(), v2.size(), 0) == static_cast<ssize_t>(v2.size()) &&
                    ::pwrite(fd, tag, sizeof tag, 128 * 128) == 128;
    if (::close(fd) != 0 || !ok)
        throw std::runtime_error("cannot write " + path);
}

// Builds the tree unless a finished one is there.
void MakeTree(const std::string& root) {
    const std::string stamp = root + "/.complete";
    const std::string want = std::to_string(kFiles) + " " + std::to_string(kFolders) + " 2\n";
    if (std::FILE* f = std::fopen(stamp.c_str(), "r")) {
        char text[64] = {};
        const bool same = std::fgets(text, sizeof text, f) && want == text;
        std::fclose(f);
        if (same)
            return;
    }
    std::printf("building %zu files in %zu folders under %s...\n", kFiles, kFolders, root.c_str());
    std::fflush(stdout);
    fs::remove_all(root);
    for (std::size_t f = 0; f < kFolders; ++f)
        fs::create_directories(root + FolderName(f));
    for (std::size_t i = 0; i < kFiles; ++i)
        WriteFile(root, i);
    ::sync();
    if (std::FILE* f = std::fopen(stamp.c_str(), "w")) {
        std::fputs(want.c_str(), f);
        std::fclose(f);
    }
}

void Fill(TFileList& list, const std::string& dir) {
    TFindFile finder;
    finder.Directory = dir;
    finder.Recurse = true;
    finder.Filter = "*.mp3";
    finder.Sink = &list.FoundFiles();
    finder.Execute();
    list.UpdateList(finder.Directory);
}

void SetKind(TFileList& list, bool automatic) {
    if (automatic) {
        list.SetCodec(TagCodec("auto"));
        list.SetId3v2Hint(ReadUnicodeTitles);
    } else {
        list.SetCodec(TagCodec::Default());
    }
}

// The peak resident memory of this process, from /proc (a spawned child's rusage would report
// its parent's peak when that is higher: the child starts in the parent's memory).
long PeakKb() {
    long kb = -1;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
                break;
        std::fclose(f);
    }
    return kb;
}

// The child of the memory figure: the code-page tables built first, as a running program has
// them, then one fill of Dir; prints its peak.
int FillOnce(bool automatic, const std::string& dir) {
    GuessCodePage({std::string("\xCF\xE5\xF1\xED\xFF \x93\xFA\x96\x7B", 10)});
    TFileList list;
    SetKind(list, automatic);
    Fill(list, dir);
    std::printf("%ld\n", PeakKb());
    return list.Count() >= 2 ? 0 : 1;
}

std::string SelfPath() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

// Runs this program's fill child; its peak in KB, -1 when it failed.
long ChildPeakKb(const std::string& self, bool automatic, const std::string& dir) {
    const auto quoted = [](const std::string& s) {
        std::string q = "'";
        for (const char c : s)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    const std::string command =
        quoted(self) + " --fill " + (automatic ? "auto " : "fixed ") + quoted(dir);
    std::FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return -1;
    long kb = -1;
    if (std::fscanf(p, "%ld", &kb) != 1)
        kb = -1;
    return ::pclose(p) == 0 ? kb : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--fill") == 0)
        return FillOnce(std::strcmp(argv[2], "auto") == 0, argv[3]);
    const std::string root = argc > 1 ? argv[1] : "/var/tmp/veltrane-codepage";
    const int warmPairs = std::max(1, argc > 2 ? std::atoi(argv[2]) : 7);
    const int coldPairs = std::max(0, argc > 3 ? std::atoi(argv[3]) : 1);
    MakeTree(root);
    const std::string cli = VELTRANE_CLI_PATH;
    bool ok = true;

    // --- The window's fill: two lists, filled in turn.
    TFileList fixedList, autoList;
    SetKind(fixedList, false);
    SetKind(autoList, true);
    Fill(fixedList, root); // warms the caches
    Fill(autoList, root);
    if (fixedList.Count() != kFiles + 1 || autoList.Count() != kFiles + 1) {
        std::fprintf(stderr, "listed %zu and %zu rows, expected %zu\n", fixedList.Count() - 1,
                     autoList.Count() - 1, kFiles);
        return 1;
    }
    std::map<std::string, std::size_t> pages;
    for (std::size_t i = 1; i < autoList.Count(); ++i)
        ++pages[autoList.CodePage(i) == 0 ? "ASCII" : TagCodec::ById(autoList.CodePage(i)).Name()];
    std::vector<double> fillFixed, fillAuto;
    for (int pair = 0; pair < warmPairs; ++pair) {
        fillFixed.push_back(BestOf(1, [&] { Fill(fixedList, root); }));
        fillAuto.push_back(BestOf(1, [&] { Fill(autoList, root); }));
    }

    // --- tag show --recursive, warm, then cold.
    const std::vector<std::string> showFixed = {cli,           "tag",         "show", "--recursive",
                                                "--codepage", "WINDOWS-1252", root};
    std::vector<std::string> showAuto = showFixed;
    showAuto[5] = "auto";
    const auto timed = [&](const std::vector<std::string>& args) {
        Stopwatch w;
        ok = RunSilently(args) == 0 && ok;
        return w.Seconds();
    };
    timed(showAuto);
    std::vector<double> cliFixed, cliAuto;
    for (int pair = 0; pair < warmPairs; ++pair) {
        cliFixed.push_back(timed(showFixed));
        cliAuto.push_back(timed(showAuto));
    }
    std::vector<double> coldFixed, coldAuto;
    const bool dropAll = CanDropAll();
    std::vector<std::string> paths;
    if (coldPairs > 0) {
        TFindFile finder;
        finder.Directory = root;
        finder.Recurse = true;
        finder.Filter = "*.mp3";
        finder.Execute();
        paths = std::move(finder.Files);
    }
    for (int pair = 0; pair < coldPairs; ++pair) {
        DropCaches(paths, dropAll);
        coldFixed.push_back(timed(showFixed));
        DropCaches(paths, dropAll);
        coldAuto.push_back(timed(showAuto));
    }

    // --- Memory: each fill in a process of its own, against the same with an empty folder.
    const std::string self = SelfPath();
    const std::string empty = root + "-empty";
    fs::create_directories(empty);
    long peak[2][2] = {{1L << 40, 1L << 40}, {1L << 40, 1L << 40}}; // [auto][filled]
    for (int round = 0; round < 3; ++round)
        for (int automatic = 0; automatic < 2; ++automatic)
            for (int filled = 0; filled < 2; ++filled) {
                const long kb = ChildPeakKb(self, automatic != 0, filled ? root : empty);
                ok = kb > 0 && ok;
                peak[automatic][filled] = std::min(peak[automatic][filled], kb);
            }
    fs::remove_all(empty);
    if (!ok) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }

    std::printf("\n%zu files in %zu folders; \"auto\" read them as:", kFiles, kFolders);
    for (const auto& [name, count] : pages)
        std::printf(" %s %zu", name.c_str(), count);
    std::printf("\n");
    const double cf = Median(cliFixed), ca = Median(cliAuto);
    std::printf("tag show --recursive, warm, median of %d: WINDOWS-1252 %.0f ms, auto %.0f ms: "
                "%.2f (<= 1.2) %s\n",
                warmPairs, cf * 1000, ca * 1000, ca / cf, Verdict(ca / cf <= 1.2));
    if (coldPairs > 0) {
        const double xf = Median(coldFixed), xa = Median(coldAuto);
        std::printf("tag show --recursive, cold (caches dropped by %s), median of %d: "
                    "WINDOWS-1252 %.0f ms, auto %.0f ms: %.2f\n",
                    dropAll ? "/proc/sys/vm/drop_caches" : "posix_fadvise", coldPairs, xf * 1000,
                    xa * 1000, xa / xf);
    }
    const double ff = Median(fillFixed), fa = Median(fillAuto);
    std::printf("window fill, warm, median of %d: WINDOWS-1252 %.0f ms, auto %.0f ms: %.2f "
                "(<= 1.2) %s\n",
                warmPairs, ff * 1000, fa * 1000, fa / ff, Verdict(fa / ff <= 1.2));
    const auto perRow = [&](int automatic) {
        return static_cast<double>(peak[automatic][1] - peak[automatic][0]) * 1024.0 /
               static_cast<double>(kFiles);
    };
    std::printf("window fill memory, peak above an empty listing: WINDOWS-1252 %.1f bytes a row, "
                "auto %.1f bytes a row: %+.1f (<= 2) %s\n",
                perRow(0), perRow(1), perRow(1) - perRow(0), Verdict(perRow(1) - perRow(0) <= 2));
    return 0;
}
