#include "browser/FileList.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/InOutError.h"
#include "tagcore/TagFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::RawTag;
using test::TestDir;

constexpr std::size_t kAudio = 20000; // comfortably above the listing limit

struct ProgressLog : IProgress {
    std::vector<std::string> captions;
    std::uint64_t lastMax = 0, lastPos = 0;
    int open = 0;
    void Start(const std::string& c, std::uint64_t max) override {
        captions.push_back(c);
        lastMax = max;
        ++open;
    }
    void SetPosition(std::uint64_t p) override { lastPos = p; }
    void Finish() override { --open; }
};

std::vector<std::string> Texts(const TFileList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < list.Count(); ++i)
        out.emplace_back(list.ItemText(i));
    return out;
}

std::vector<std::string> Names(const TFileList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < list.Count(); ++i)
        out.emplace_back(TFileList::GetStringItem(1, list.ItemText(i)).substr(1));
    return out;
}

TEST(FileListTest, RowTextsForTaggedAndUntaggedFiles) {
    TestDir dir;
    RawTag tag{"Title", "Artist", "Album", "1999", "Comment", 17};
    const std::string a = dir.WriteFile("a.mp3", Mp3Bytes(kAudio, tag));
    const std::string b = dir.WriteFile("b.mp3", Mp3BytesNoTag(kAudio));
    tag.genre = 200; // no name
    const std::string c = dir.WriteFile("c.mp3", Mp3Bytes(kAudio, tag));
    TFileList list;
    ProgressLog progress;
    list.UpdateList({a, b, c}, dir.path().string(), &progress);
    EXPECT_EQ(Texts(list),
              (std::vector<std::string>{" a.mp3\tTitle\tArtist\tAlbum\t1999\tRock \tComment\t\t",
                                        " b.mp3\t\t\t\t\t\t\t\t",
                                        " c.mp3\tTitle\tArtist\tAlbum\t1999\t\tComment\t\t"}));
    EXPECT_EQ(list.ItemText(0), kMultiListPlaceholder);
    EXPECT_EQ(progress.captions,
              (std::vector<std::string>{"Reading 3 files...", "Sorting 3 items..."}));
    EXPECT_EQ(progress.open, 0);
    EXPECT_EQ(list.GetFileName(1), a);
    EXPECT_EQ(list.GetFileName(list.ItemText(2)), b);
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_TRUE(list.FilesInThisDir());
}

TEST(FileListTest, TrackColumnIsLastAndSortsByNumberWithNoTrackLast) {
    TestDir dir;
    // name, track; read in this order. Two without a track and two with 7 show the ties.
    const std::vector<std::pair<std::string, int>> files = {
        {"a.mp3", 10}, {"b.mp3", 0}, {"c.mp3", 7}, {"d.mp3", 255}, {"e.mp3", 2},
        {"f.mp3", 7},  {"g.mp3", -1}, {"h.mp3", 0}};
    std::vector<std::string> paths;
    for (const auto& [name, track] : files) {
        if (track < 0) {
            paths.push_back(dir.WriteFile(name, Mp3BytesNoTag(kAudio)));
            continue;
        }
        std::string bytes = Mp3Bytes(kAudio, RawTag{"T", "", "", "", "c", 1});
        bytes[bytes.size() - 2] = static_cast<char>(track);
        paths.push_back(dir.WriteFile(name, bytes));
    }
    TFileList list;
    list.UpdateList(paths, dir.path().string());
    EXPECT_EQ(list.ItemText(1), " a.mp3\tT\t\t\t\tClassic Rock \tc\t10\t");
    EXPECT_EQ(TFileList::GetStringItem(kTrackColumn, list.ItemText(2)), "");
    EXPECT_EQ(TFileList::GetStringItem(7, list.ItemText(1)), "c"); // the comment keeps its field
    EXPECT_EQ(list.GetFileName(1), paths[0]);
    struct Case {
        int section;
        std::vector<std::string> names;
    };
    // Ascending: numbers, then no track (equal keys in reverse reading order); descending
    // reverses the whole list (a re-sort reads the rows in list order); a click on another
    // header sorts it ascending again.
    const Case clicks[] = {
        {7, {"e.mp3", "f.mp3", "c.mp3", "a.mp3", "d.mp3", "h.mp3", "g.mp3", "b.mp3"}},
        {7, {"h.mp3", "g.mp3", "b.mp3", "d.mp3", "a.mp3", "f.mp3", "c.mp3", "e.mp3"}},
        {0, {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3", "g.mp3", "h.mp3"}},
        {7, {"e.mp3", "f.mp3", "c.mp3", "a.mp3", "d.mp3", "h.mp3", "g.mp3", "b.mp3"}},
    };
    for (const Case& c : clicks) {
        list.MultiListMP3ListHeaderClick(c.section);
        EXPECT_EQ(Names(list), c.names) << "sort column " << list.SortColumn();
    }
}

TEST(FileListTest, SizeLimitIs129Blocks) {
    TestDir dir;
    const std::string small = dir.WriteFile("small.mp3", Mp3BytesNoTag(16511));
    const std::string big = dir.WriteFile("big.mp3", Mp3BytesNoTag(16512));
    ASSERT_EQ(::chmod(small.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(big.c_str(), 0444), 0);
    TFileList list;
    list.UpdateList({small, big}, dir.path().string());
    EXPECT_EQ(Names(list), std::vector<std::string>{"big.mp3"});
    // Only a listed file has its tag read, and so loses its read-only mark.
    struct stat st;
    ASSERT_EQ(::stat(small.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    ASSERT_EQ(::stat(big.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    // Only files too small: an empty list, no marker row.
    list.UpdateList({small}, dir.path().string());
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_FALSE(list.FilesInThisDir());
}

TEST(FileListTest, NothingFoundShowsTheMarkerRow) {
    TFileList list;
    list.UpdateList({}, "/nowhere");
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.ItemText(1), "No mp3's found!\t");
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_FALSE(list.FilesInThisDir());
}

TEST(FileListTest, NamesSortIgnoringCaseByByteValue) {
    TestDir dir;
    std::vector<std::string> files;
    for (const char* name : {"\xc3\xa9t\xc3\xa9.mp3", "_x.mp3", "b.mp3", "Z.mp3", "A.mp3"})
        files.push_back(dir.WriteFile(name, Mp3BytesNoTag(kAudio)));
    const std::vector<std::string> expected{"A.mp3", "b.mp3", "Z.mp3", "_x.mp3",
                                            "\xc3\xa9t\xc3\xa9.mp3"};
    TFileList list;
    list.UpdateList(files, dir.path().string());
    EXPECT_EQ(Names(list), expected);
    // Handed over, the search result gives its paths to the rows and is emptied.
    std::vector<std::string> taken = files;
    list.UpdateList(std::move(taken), dir.path().string());
    EXPECT_EQ(Names(list), expected);
    EXPECT_TRUE(taken.empty());
    for (std::size_t i = 1; i < list.Count(); ++i)
        EXPECT_EQ(list.Row(i).Path, dir.path().string() + "/" + expected[i - 1]);
}

TEST(FileListTest, HeaderClicksToggleDirectionAndTiesFollowReadingOrder) {
    TestDir dir;
    RawTag tag{"T1", "Same", "", "2001", "", 255};
    const std::string x = dir.WriteFile("x.mp3", Mp3Bytes(kAudio, tag));
    tag.title = "T0";
    tag.year = "1990";
    const std::string y = dir.WriteFile("y.mp3", Mp3Bytes(kAudio, tag));
    TFileList list;
    list.UpdateList({x, y}, dir.path().string());

    // Equal artists read as x, y: ascending gives y, x; descending x, y.
    list.SetSortColumn(3);
    list.UpdateList({x, y}, dir.path().string());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"y.mp3", "x.mp3"}));
    list.SetSortColumn(-3);
    list.UpdateList({x, y}, dir.path().string());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"x.mp3", "y.mp3"}));
    // A header click re-reads the rows in list order: ties turn over on every ascending sort.
    list.MultiListMP3ListHeaderClick(2);
    EXPECT_EQ(list.SortColumn(), 3);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"y.mp3", "x.mp3"}));

    list.MultiListMP3ListHeaderClick(4); // Year
    EXPECT_EQ(Names(list), (std::vector<std::string>{"y.mp3", "x.mp3"}));
    list.SetSelected(1, true);
    list.MultiListMP3ListHeaderClick(4);
    EXPECT_EQ(list.SortColumn(), -5);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"x.mp3", "y.mp3"}));
    EXPECT_EQ(list.SelCount(), 0u);      // selection is not kept
    list.MultiListMP3ListHeaderClick(1); // Song: ascending again
    EXPECT_EQ(list.SortColumn(), 2);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"y.mp3", "x.mp3"}));
    // Paths travel with their rows.
    EXPECT_EQ(list.GetFileName(1), y);
}

// The model's sort against the literal insertion sort into a second list, on keys with many
// ties, prefixes and case differences, in both directions.
TEST(FileListTest, SortMatchesInsertionSortExactly) {
    std::mt19937 rng(7);
    const char* pieces[] = {"a", "A", "b", "B", "ab", "AB", "", "_", "\xc3\xa9", "Z", "z "};
    auto upper = [](std::string_view s) {
        std::string u(s);
        for (char& c : u)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return u;
    };
    for (int column : {1, 3, -1, -3}) {
        std::vector<TFileRow> rows;
        for (int i = 0; i < 300; ++i) {
            std::string name = std::string(pieces[rng() % 11]) + pieces[rng() % 11];
            std::string artist = std::string(pieces[rng() % 11]) + pieces[rng() % 11];
            rows.push_back({" " + name + "\t\t" + artist + "\t\t\t\t\t" + std::to_string(i), {}});
        }
        // Literal algorithm.
        std::vector<TFileRow> s;
        const int field = std::abs(column);
        for (const TFileRow& row : rows) {
            const std::string key = upper(TFileList::GetStringItem(field, row.Text));
            auto at = std::find_if(s.begin(), s.end(), [&](const TFileRow& r) {
                const std::string other = upper(TFileList::GetStringItem(field, r.Text));
                return std::lexicographical_compare(
                           other.begin(), other.end(), key.begin(), key.end(), [](char p, char q) {
                               return static_cast<unsigned char>(p) < static_cast<unsigned char>(q);
                           }) == false;
            });
            s.insert(at, row);
        }
        if (column < 0)
            std::reverse(s.begin(), s.end());

        TFileList list;
        list.SetSortColumn(column);
        for (const TFileRow& row : rows)
            list.RowBuffer().AddText(row.Text, row.Path);
        list.SortList();
        ASSERT_EQ(list.Count(), s.size() + 1);
        EXPECT_TRUE(list.RowBuffer().empty());
        for (std::size_t i = 0; i < s.size(); ++i)
            ASSERT_EQ(list.ItemText(i + 1), s[i].Text) << "column " << column << " row " << i;
    }
}

TEST(FileListTest, SubdirectoryRowsKeepTheirRelativeNameAndPath) {
    TestDir dir;
    const std::string deep = dir.WriteFile("Sub1/Sub2/Song.mp3", Mp3BytesNoTag(kAudio));
    const std::string top = dir.WriteFile("top.mp3", Mp3BytesNoTag(kAudio));
    for (std::string base : {dir.path().string(), dir.path().string() + "/"}) {
        TFileList list;
        list.UpdateList({top, deep}, base);
        EXPECT_EQ(Names(list), (std::vector<std::string>{"Sub1/Sub2/Song.mp3", "top.mp3"}));
        EXPECT_EQ(list.GetFileName(1), deep);
        EXPECT_EQ(list.GetFileName(list.ItemText(1)), deep);
        EXPECT_EQ(list.PrepFileName(deep), "Sub1/Sub2/Song.mp3");
    }
}

TEST(FileListTest, AwkwardNamesNeverReachAnotherFile) {
    TestDir dir;
    const std::string tabbed = dir.WriteFile("a\tb.mp3", Mp3BytesNoTag(kAudio));
    const std::string lined = dir.WriteFile("c\nd \"q\";.mp3", Mp3BytesNoTag(kAudio));
    const std::string latin1 = dir.WriteFile("\xe9t\xe9.mp3", Mp3BytesNoTag(kAudio));
    TFileList list;
    list.UpdateList({tabbed, lined, latin1}, dir.path().string());
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.ItemText(1), " a b.mp3\t\t\t\t\t\t\t\t"); // the tab cannot split a column
    EXPECT_EQ(list.GetFileName(1), tabbed);
    EXPECT_EQ(list.GetFileName(2), lined);
    EXPECT_EQ(list.GetFileName(3), latin1);

    TMP3Tag tag;
    tag.FileName = tabbed;
    tag.Header = "TAG";
    tag.Title = "New";
    SetMP3Tag(tabbed, tag);
    list.SingleUpdate(tag);
    EXPECT_EQ(list.ItemText(1), " a b.mp3\tNew\t\t\t\t\t\t\t");
    EXPECT_EQ(list.Count(), 4u);
}

TEST(FileListTest, SingleUpdateReplacesInPlaceOrAppends) {
    TestDir dir;
    RawTag raw{"Title", "Zed", "", "", "", 255};
    const std::string a = dir.WriteFile("a.mp3", Mp3Bytes(kAudio, raw));
    const std::string b = dir.WriteFile("b.mp3", Mp3Bytes(kAudio, raw));
    TFileList list;
    list.UpdateList({a, b}, dir.path().string());
    list.SetSelected(1, true);
    list.SetSelected(2, true);
    list.SetItemIndex(1);

    TMP3Tag tag;
    tag.FileName = a;
    tag.Header = "TAG";
    tag.Title = "zzz"; // would sort last; the row stays where it is
    tag.Genre = 0;
    SetMP3Tag(a, tag);
    list.SingleUpdate(tag);
    EXPECT_EQ(list.ItemText(1), " a.mp3\tzzz\t\t\t\tBlues \t\t\t");
    EXPECT_FALSE(list.Selected(1));
    EXPECT_TRUE(list.Selected(2));
    EXPECT_EQ(list.SelCount(), 1u);
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(list.GetFileName(1), a);

    tag.FileName = dir / "new.mp3"; // no such file: the row shows the tag given
    list.SingleUpdate(tag);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.GetFileName(3), dir / "new.mp3");
    list.SingleUpdate(tag); // now found through the index
    EXPECT_EQ(list.Count(), 4u);
}

// After a write the row shows the file's bytes: what the code page could not hold reads "?",
// a field longer than 30 bytes is cut, and a tag changed meanwhile shows as it now is.
TEST(FileListTest, SingleUpdateShowsTheTagReadBack) {
    TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", Mp3BytesNoTag(kAudio));
    TFileList list;
    list.UpdateList({a}, dir.path().string());
    TMP3Tag typed;
    typed.FileName = a;
    typed.Header = "TAG";
    const struct {
        std::string artist;
        std::string shown;
    } cases[] = {
        {"\xd0\x96 Artist \xe2\x82\xac", "? Artist \xe2\x82\xac"},
        {std::string(31, 'x'), std::string(30, 'x')},
    };
    for (const auto& c : cases) {
        typed.Artist = c.artist;
        SetMP3Tag(a, typed);
        list.SingleUpdate(typed);
        EXPECT_EQ(TFileList::GetStringItem(3, list.ItemText(1)), c.shown);
    }
}

TEST(FileListTest, FailedScanKeepsThePreviousRows) {
    TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", Mp3BytesNoTag(kAudio));
    const std::string b = dir.WriteFile("b.mp3", Mp3BytesNoTag(kAudio));
    TFileList list;
    list.UpdateList({a, b}, dir.path().string());
    list.SetSelected(2, true);
    list.SetItemIndex(2);
    ProgressLog progress;
    try {
        list.UpdateList({a, dir / "gone.mp3"}, dir.path().string(), &progress);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
        EXPECT_EQ(e.FileName(), dir / "gone.mp3"); // so the message can name the file
    }
    EXPECT_EQ(progress.open, 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a.mp3", "b.mp3"}));
    EXPECT_TRUE(list.RowBuffer().empty());
    EXPECT_TRUE(list.Selected(2));
    EXPECT_EQ(list.SelCount(), 1u);
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_FALSE(list.ReadingCancelled());
}

// Cancels once the bar reaches a position; records what the list held at each step.
struct CancellingProgress : ProgressLog {
    const TFileList* list = nullptr;
    std::uint64_t cancelAt = 0;
    bool offered = false, cancelled = false;
    std::vector<std::string> shown;
    void SetPosition(std::uint64_t p) override {
        ProgressLog::SetPosition(p);
        if (captions.back().rfind("Reading", 0) == 0) {
            shown.emplace_back(list->ItemText(list->Count() - 1));
            EXPECT_FALSE(list->FilesInThisDir());
        }
        cancelled = offered && p >= cancelAt;
    }
    void OfferCancel() override { offered = captions.back().rfind("Reading", 0) == 0; }
    bool Cancelled() const override { return cancelled; }
    void Finish() override {
        ProgressLog::Finish();
        offered = cancelled = false;
    }
};

TEST(FileListTest, CancelledReadingListsTheFilesReadSoFar) {
    TestDir dir;
    std::vector<std::string> files;
    for (const char* name : {"e", "d", "c", "b", "a"})
        files.push_back(dir.WriteFile(std::string(name) + ".mp3", Mp3BytesNoTag(kAudio)));
    const struct {
        std::uint64_t cancelAt;
        std::vector<std::string> names;
        std::size_t leftOut;
    } cases[] = {
        {0, {"e.mp3"}, 4},
        {2, {"c.mp3", "d.mp3", "e.mp3"}, 2},
        {4, {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancelAt);
        TFileList list;
        list.UpdateList({files[0]}, dir.path().string());
        CancellingProgress progress;
        progress.list = &list;
        progress.cancelAt = c.cancelAt;
        list.UpdateList(files, dir.path().string(), &progress);
        EXPECT_TRUE(list.ReadingCancelled());
        EXPECT_EQ(list.LeftOut(), c.leftOut);
        EXPECT_EQ(Names(list), c.names); // sorted as ever
        EXPECT_EQ(progress.open, 0);
        EXPECT_EQ(progress.captions.back(),
                  "Sorting " + std::to_string(c.names.size()) + " items...");
        // While reading the list showed the marker and no file row.
        EXPECT_GT(progress.shown.size(), c.cancelAt);
        EXPECT_EQ(progress.shown, std::vector<std::string>(progress.shown.size(), "Reading...\t"));
        EXPECT_TRUE(list.FilesInThisDir());
    }
    // The next reading that runs to its end is no cancelled one.
    TFileList list;
    ProgressLog plain;
    list.UpdateList(files, dir.path().string(), &plain);
    EXPECT_FALSE(list.ReadingCancelled());
    EXPECT_EQ(list.LeftOut(), 0u);
}

// Every call, in order, so two runs can be compared step by step.
struct EventLog : IProgress {
    std::vector<std::string> events;
    void Start(const std::string& c, std::uint64_t max) override {
        events.push_back(c + " max " + std::to_string(max));
    }
    void SetPosition(std::uint64_t p) override { events.push_back(std::to_string(p)); }
    void Finish() override { events.push_back("finish"); }
};

std::size_t ThreadsInProcess() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

TEST(FileListTest, WorkerCountChangesNoRowOrderEventOrFailure) {
    TestDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 300; ++i) {
        // Titles repeat, so ties show whether rows arrive in reading order.
        const RawTag tag{"Song " + std::to_string(i % 40), "Artist", "", "", "", 17};
        const std::string name = (i % 3 ? "sub/" : "") + std::to_string(i) + ".mp3";
        files.push_back(i % 5 ? dir.WriteFile(name, Mp3Bytes(kAudio, tag))
                              : dir.WriteFile(name, Mp3BytesNoTag(kAudio)));
    }
    files.insert(files.begin() + 10, dir.WriteFile("small.mp3", Mp3BytesNoTag(100)));
    const std::string fifo = dir / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    files.insert(files.begin() + 20, fifo);
    files.insert(files.begin() + 30, dir.WriteFile("locked.mp3", Mp3BytesNoTag(kAudio)));
    ::chmod(files[30].c_str(), 0); // unreadable unless we run as root; both runs alike
    std::shuffle(files.begin(), files.end(), std::mt19937(7));
    std::vector<std::string> failing = files;
    const std::string vanished = dir / "vanished.mp3";
    failing.insert(failing.begin() + 150, vanished);
    failing.insert(failing.begin() + 200, dir.MakeDir("folder.mp3"));

    struct Run {
        std::vector<std::string> rows, paths, events, failEvents;
        std::string error, errorFile;
    };
    const auto run = [&](std::size_t jobs) {
        Run r;
        TFileList list;
        list.SetReadJobs(jobs);
        list.SetSortColumn(2);
        EventLog log;
        try {
            list.UpdateList(files, dir.path().string(), &log);
        } catch (const EInOutError& e) { // locked.mp3 when not root
            r.error = e.what();
            r.errorFile = e.FileName();
        }
        for (std::size_t i = 1; i < list.Count(); ++i) {
            r.rows.emplace_back(list.ItemText(i));
            r.paths.push_back(list.GetFileName(i));
        }
        r.events = log.events;
        EventLog failLog;
        const std::size_t threads = ThreadsInProcess();
        try {
            list.UpdateList(failing, dir.path().string(), &failLog);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& e) {
            r.error += std::string(" / ") + e.what();
            r.errorFile += " / " + e.FileName();
        }
        EXPECT_EQ(ThreadsInProcess(), threads) << "a worker outlived the failed scan";
        r.failEvents = failLog.events;
        for (std::size_t i = 1; i < list.Count(); ++i)
            EXPECT_EQ(list.ItemText(i), r.rows[i - 1]) << "the failed scan changed row " << i;
        return r;
    };
    const Run one = run(1), eight = run(8);
    EXPECT_EQ(one.rows.size(), 301u - (::geteuid() == 0 ? 0 : 301));
    EXPECT_EQ(one.rows, eight.rows);
    EXPECT_EQ(one.paths, eight.paths);
    EXPECT_EQ(one.events, eight.events);
    EXPECT_EQ(one.failEvents, eight.failEvents);
    EXPECT_EQ(one.error, eight.error);
    EXPECT_EQ(one.errorFile, eight.errorFile);
    EXPECT_NE(one.errorFile.find(vanished), std::string::npos);
}

TEST(FileListTest, SelectionAndClear) {
    TFileList list;
    for (const TFileRow& row : std::vector<TFileRow>{{" a\t", "/d/a"}, {" b\t", "/d/b"}, {" c\t", "/d/c"}})
        list.RowBuffer().AddText(row.Text, row.Path);
    list.SortList();
    list.SetAllSelected(true);
    EXPECT_EQ(list.SelCount(), 3u);
    EXPECT_FALSE(list.Selected(0));
    list.SetSelected(2, false);
    list.SetSelected(2, false);
    EXPECT_EQ(list.SelCount(), 2u);
    list.SetItemIndex(99);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.ClearListBox();
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.SelCount(), 0u);
    EXPECT_FALSE(list.FilesInThisDir());
}

TEST(FileListTest, GetStringItem) {
    const std::string row = " n\tt\ta\t\ty\tg \tc\t";
    EXPECT_EQ(TFileList::GetStringItem(1, row), " n");
    EXPECT_EQ(TFileList::GetStringItem(4, row), "");
    EXPECT_EQ(TFileList::GetStringItem(6, row), "g ");
    EXPECT_EQ(TFileList::GetStringItem(7, row), "c");
    EXPECT_EQ(TFileList::GetStringItem(9, row), "");
    EXPECT_EQ(TFileList::GetStringItem(0, row), "");
}


// The filter hides rows without losing them: selection of hidden rows goes, an edited row stays
// until the text changes, typing on narrows, a header click sorts all, a new folder empties it.
TEST(FileListTest, FilterHidesRowsAndGivesThemBack) {
    TestDir dir;
    const std::string a = dir.WriteFile("abba.mp3", Mp3Bytes(kAudio, RawTag{"Waterloo", "", "", "", "", 255}));
    const std::string b = dir.WriteFile("bee.mp3", Mp3BytesNoTag(kAudio));
    const std::string c = dir.WriteFile("cab.mp3", Mp3Bytes(kAudio, RawTag{"Zulu", "", "", "", "", 255}));
    TFileList list;
    list.UpdateList({a, b, c}, dir.path().string());
    list.SetAllSelected(true);
    list.SetItemIndex(3);

    struct Step {
        std::string_view typed;
        std::vector<std::string> names;
        std::size_t selCount;
    } const steps[] = {
        {"B", {"abba.mp3", "bee.mp3", "cab.mp3"}, 3},
        {"bB", {"abba.mp3"}, 1}, // "cab" and "bee" lose their marks
        {"bBa.mp3\tw", {"abba.mp3"}, 1},
        {"", {"abba.mp3", "bee.mp3", "cab.mp3"}, 1},
        {"a", {"abba.mp3", "cab.mp3"}, 1},
        {"zz", {}, 0},
    };
    for (const auto& s : steps) {
        list.SetFilter(s.typed);
        EXPECT_EQ(Names(list), s.names) << s.typed;
        EXPECT_EQ(list.SelCount(), s.selCount) << s.typed;
        EXPECT_EQ(list.FileRowsShown(), s.names.size());
        EXPECT_EQ(list.FileRowsTotal(), 3u);
        EXPECT_EQ(list.ItemText(0), kMultiListPlaceholder);
    }
    EXPECT_EQ(list.Filter(), "zz");

    list.SetFilter("cab");
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(list.GetFileName(1), c);
    list.SetAllSelected(true);
    EXPECT_EQ(list.SelCount(), 1u);

    // A hidden file edited: its row is up to date once shown; a shown one stays while edited.
    TMP3Tag tag;
    tag.Header = "TAG";
    tag.Genre = 255;
    tag.FileName = a;
    tag.Title = "Edited";
    SetMP3Tag(a, tag);
    list.SingleUpdate(tag);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"cab.mp3"}));
    list.SetFilter("zulu");
    tag.FileName = c;
    tag.Title = "Other";
    SetMP3Tag(c, tag);
    list.SingleUpdate(tag);
    EXPECT_EQ(list.ItemText(1), " cab.mp3\tOther\t\t\t\t\t\t\t");
    list.MultiListMP3ListHeaderClick(0); // sorts every row, shows the same one
    EXPECT_EQ(Names(list), (std::vector<std::string>{"cab.mp3"}));
    list.SetFilter("");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"cab.mp3", "bee.mp3", "abba.mp3"}));
    EXPECT_EQ(list.ItemText(3), " abba.mp3\tEdited\t\t\t\t\t\t\t");

    list.SetFilter("edited");
    list.UpdateList({a, b, c}, dir.path().string()); // a refresh keeps the filter
    EXPECT_EQ(Names(list), (std::vector<std::string>{"abba.mp3"}));
    EXPECT_EQ(list.Filter(), "edited");
    list.UpdateList({}, "/elsewhere");
    EXPECT_EQ(list.Filter(), "");
    EXPECT_FALSE(list.Filtered());
    list.SetFilter("edited");
    TestDir other;
    list.UpdateList({other.WriteFile("x.mp3", Mp3BytesNoTag(kAudio))}, other.path().string());
    EXPECT_EQ(list.Filter(), "");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"x.mp3"}));
}

TEST(FileList, AudioCellTexts) {
    using C = TAudioCell;
    const struct {
        TAudioCell Cell;
        const char* Length;
        const char* Bitrate;
    } cases[] = {
        {{0, 0, 0, 0}, "", "?"}, // not looked at
        {{18749, 128, 1, C::kRead}, "3:07", "128"},
        {{18751, 128, 1, C::kRead}, "3:08", "128"},
        {{372300, 190, 1, C::kRead | C::kVbr}, "1:02:03", "~190"},
        {{359949, 96, 1, C::kRead | C::kVbr | C::kEstimated}, "59:59", "~96"},
        {{520, 128, 1, C::kRead | C::kTruncated}, "0:05 truncated", "128"},
        {{0, 0, 0, C::kRead | C::kNoAudio}, "no audio", "?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AudioLengthText(c.Cell), c.Length) << c.Length;
        EXPECT_EQ(AudioBitrateText(c.Cell), c.Bitrate) << c.Length;
    }
    EXPECT_EQ(TotalLengthText(0), "0:00");
    EXPECT_EQ(TotalLengthText(360000), "1:00:00");
    EXPECT_EQ(TotalLengthText(36000000), "100:00:00");
}

} // namespace
} // namespace veltrane
