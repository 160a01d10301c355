#include "browser/FileList.h"
#include "browser/FileRowStore.h"
#include "browser/VanishedFiles.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace veltrane {
namespace {

TEST(ByteArenaTest, EntriesOfEveryLengthReadBackAcrossBlocks) {
    // Lengths around the one-byte prefix limit, and entries that cannot share a block.
    const std::size_t lengths[] = {0, 1, 127, 128, 300, 16383, 16384, 700000, 3u << 20, 5};
    TByteArena arena;
    std::vector<std::pair<std::uint64_t, std::string>> stored;
    for (int round = 0; round < 3; ++round)
        for (std::size_t n : lengths) {
            std::string text(n, '\0');
            for (std::size_t i = 0; i < n; ++i)
                text[i] = static_cast<char>(i * 7 + n + static_cast<std::size_t>(round));
            stored.emplace_back(arena.Add(text), text);
        }
    for (const auto& [offset, text] : stored)
        ASSERT_EQ(arena.Get(offset), text) << text.size();
    const std::string_view parts[] = {"Title", "", "A\tB", std::string_view("\0x", 2), "C"};
    const std::uint64_t all = arena.AddAll(parts, 5);
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(arena.Get(all, k), parts[k]) << k;
}

TEST(FileRowStoreTest, PathsTagsAndTextRows) {
    TFileRowStore store;
    const std::size_t a = store.AddPath("/m/Folder 1/", "a.mp3");
    const std::size_t b = store.AddFullPath("/m/Folder 1/b.mp3");
    const std::size_t c = store.AddFullPath("noslash.mp3");
    const std::size_t t = store.AddText("No mp3's found!\t");
    const std::size_t p = store.AddText(" x\t", "/m/x.mp3");
    EXPECT_EQ(store.FolderId(a), store.FolderId(b)); // one folder, held once
    EXPECT_EQ(store.Path(b), "/m/Folder 1/b.mp3");
    EXPECT_EQ(store.Folder(c), "");
    EXPECT_EQ(store.Name(c), "noslash.mp3");
    EXPECT_FALSE(store.HasPath(t));
    EXPECT_EQ(store.Path(t), "");
    EXPECT_TRUE(store.HasPath(p));
    EXPECT_TRUE(store.IsText(p));
    EXPECT_EQ(store.FindFolder("/m/Folder 1/"), store.FolderId(a));
    EXPECT_EQ(store.FindFolder("/m/Folder 2/"), -1);

    TMP3Tag tag;
    tag.Header = "TAG";
    tag.Title = std::string(30, 'T');
    tag.Year = "1999";
    tag.Comment = "c";
    tag.Genre = 17;
    tag.Track = 255;
    store.SetTag(a, 1ull << 33, tag); // sizes above 4 GB
    EXPECT_EQ(store.Tag(a), tag);
    EXPECT_EQ(store.FileSize(a), 1ull << 33);
    store.SetTag(p, 20000, tag); // a text row with a path becomes a file row
    EXPECT_FALSE(store.IsText(p));
    store.SetTag(a, 5, TMP3Tag{}); // read again without a tag
    EXPECT_FALSE(store.Tagged(a));

    store.MarkDropped(b);
    store.Compact();
    ASSERT_EQ(store.size(), 4u);
    EXPECT_EQ(store.Name(1), "noslash.mp3");
    std::vector<std::uint32_t> order = {3, 0, 2, 1};
    store.Permute(std::move(order));
    EXPECT_EQ(store.Name(0), "x.mp3");
    EXPECT_EQ(store.Name(1), "a.mp3");
    EXPECT_EQ(store.Text(2), "No mp3's found!\t");
    EXPECT_EQ(store.Name(3), "noslash.mp3");
    // A second order is taken on top of the first; drops and additions keep it.
    store.Permute({1, 0, 3, 2});
    store.MarkDropped(0);
    store.Compact();
    EXPECT_EQ(store.AddPath("/m/", "new.mp3"), 3u);
    ASSERT_EQ(store.size(), 4u);
    EXPECT_EQ(store.Name(0), "x.mp3");
    EXPECT_EQ(store.Name(1), "noslash.mp3");
    EXPECT_EQ(store.Text(2), "No mp3's found!\t");
    EXPECT_EQ(store.Path(3), "/m/new.mp3");
}

// Rows built from stored parts read exactly as the text built from the record.
TEST(FileRowStoreTest, RowTextsMatchTheRecordTextForOddNames) {
    struct Case {
        std::string folder, name;
        bool tagged;
        std::string title, comment;
        std::uint8_t genre, track;
    };
    const Case cases[] = {
        {"/d/", "a.mp3", true, "Song", "c", 17, 0},
        {"/d/", "tab\there.mp3", true, "Ti\ttle", "", 255, 1},
        {"/d/Sub1/Sub2/", "deep.mp3", false, "", "", 255, 0},
        {"/d/a=b/", "..mp3", true, "", "x", 0, 10},
        {"/d/", "line\nbreak \xe9.mp3", true, "\xc3\xa9t\xc3\xa9", "28 characters of comment....", 125, 255},
        {"/d/", "", true, "", "", 200, 100},
    };
    TFileList list;
    list.SetDirectory("/d");
    for (const Case& c : cases) {
        TMP3Tag tag;
        if (c.tagged) {
            tag.Header = "TAG";
            tag.Title = c.title;
            tag.Artist = "Band";
            tag.Year = "2001";
            tag.Comment = c.comment;
            tag.Genre = c.genre;
            tag.Track = c.track;
        }
        TFileRowStore& buffer = list.RowBuffer();
        buffer.SetTag(buffer.AddPath(c.folder, c.name), 20000, tag);
        list.SortList();
        ASSERT_EQ(list.Count(), 2u);
        const std::string relative = c.folder.substr(3) + c.name;
        EXPECT_EQ(list.ItemText(1), TFileList::MakeRowText(relative, tag)) << c.name;
        EXPECT_EQ(list.GetFileName(1), c.folder + c.name);
        EXPECT_EQ(list.Row(1).Path, c.folder + c.name);
        EXPECT_EQ(TFileList::GetStringItem(kTrackColumn, list.ItemText(1)),
                  c.tagged ? TrackText(c.track) : "");
        std::string appended = "x";
        list.AppendItemText(1, appended);
        EXPECT_EQ(appended, "x" + list.ItemText(1));
    }
}

// Sorting stored rows over nested folders gives the order of the literal insertion sort on
// the row texts, for every column in both directions.
TEST(FileRowStoreTest, SortOfStoredRowsMatchesTheTextOrder) {
    std::mt19937 rng(11);
    const char* folders[] = {"/r/", "/r/a/", "/r/A/", "/r/a/b/", "/r/ab/", "/r/_/"};
    const char* texts[] = {"", "a", "B", "ab", "Ab", "z", "\xc3\xa9", "0123456789abcdefX",
                           "0123456789ABCDEFY", "a\tb"};
    std::vector<std::pair<std::string, TMP3Tag>> files;
    for (int i = 0; i < 400; ++i) {
        TMP3Tag tag;
        if (rng() % 7 != 0) {
            tag.Header = "TAG";
            tag.Title = texts[rng() % 10];
            tag.Artist = texts[rng() % 10];
            tag.Album = texts[rng() % 10];
            tag.Year = std::to_string(1990 + rng() % 3);
            tag.Comment = texts[rng() % 10];
            tag.Genre = static_cast<std::uint8_t>(rng() % 3 == 0 ? 255 : rng() % 5);
            tag.Track = static_cast<std::uint8_t>(rng() % 4 == 0 ? 0 : rng() % 12);
        }
        files.emplace_back(std::string(folders[rng() % 6]) + texts[rng() % 10] + ".mp3", tag);
    }
    const auto upperKey = [](std::string_view s) {
        std::string u(s);
        for (char& ch : u)
            if (ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 'a' + 'A');
        return u;
    };
    for (int column = 1; column <= kFileListColumnCount; ++column)
        for (int sign : {1, -1}) {
            TFileList list;
            list.SetDirectory("/r");
            list.SetSortColumn(sign * column);
            std::vector<std::string> expected;
            for (const auto& [path, tag] : files) {
                TFileRowStore& buffer = list.RowBuffer();
                buffer.SetTag(buffer.AddFullPath(path), 20000, tag);
                expected.push_back(TFileList::MakeRowText(path.substr(3), tag));
            }
            // Insertion before the first equal-or-greater key, reversed for descending.
            std::vector<std::string> s;
            for (const std::string& row : expected) {
                const std::string_view field = TFileList::GetStringItem(column, row);
                const auto at = std::find_if(s.begin(), s.end(), [&](const std::string& other) {
                    const std::string_view o = TFileList::GetStringItem(column, other);
                    if (column == kTrackColumn) {
                        const int x = o.empty() ? 256 : std::stoi(std::string(o));
                        const int y = field.empty() ? 256 : std::stoi(std::string(field));
                        return x >= y;
                    }
                    const std::string x = upperKey(o), y = upperKey(field);
                    return !std::lexicographical_compare(
                        x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
                            return static_cast<unsigned char>(p) < static_cast<unsigned char>(q);
                        });
                });
                s.insert(at, row);
            }
            if (sign < 0)
                std::reverse(s.begin(), s.end());
            list.SortList();
            ASSERT_EQ(list.Count(), s.size() + 1);
            for (std::size_t i = 0; i < s.size(); ++i)
                ASSERT_EQ(list.ItemText(i + 1), s[i]) << "column " << sign * column << " row " << i;
        }
}

TEST(FileRowStoreTest, FoundFilesFillTheBufferAndLargeSelectionsTakeStoredSizes) {
    TFileList list;
    IFoundFiles& found = list.FoundFiles();
    found.Add("/nowhere/", "x.mp3"); // a stale buffer is emptied by Clear
    found.Clear();
    const std::size_t n = kFooterMeasureLimit + 1;
    for (std::size_t i = 0; i < n; ++i)
        found.Add("/nowhere/", std::to_string(i) + ".mp3");
    EXPECT_EQ(found.Count(), n);
    for (std::size_t i = 0; i < n; ++i)
        list.RowBuffer().SetTag(i, 3000000000ull + i, TMP3Tag{});
    list.SortList();
    list.SetAllSelected(true);
    // None of these files exists: measured again they would all be dropped as vanished.
    const TSelectedSize size = FooterSize(list);
    EXPECT_TRUE(size.Vanished.empty());
    EXPECT_EQ(size.Bytes, 3000000000ull * n + n * (n - 1) / 2);
    EXPECT_EQ(SelectedFileCount(list), n);
    EXPECT_EQ(list.Count(), n + 1);
    list.SetSelected(n, false);
    EXPECT_EQ(SelectedFileCount(list), n - 1);
    EXPECT_EQ(FooterSize(list).Vanished.size(), n - 1); // now measured: every file is gone
}

// A search into the list's buffer lists the same files, in the same order, as one into Files.
TEST(FileRowStoreTest, SearchIntoTheBufferMatchesTheSearchIntoFiles) {
    test::TestDir dir;
    for (const char* name : {"b.mp3", "A.mp3", "Sub/c.mp3", "Sub/Deeper/d.mp3", "x.txt"})
        dir.WriteFile(name, test::Mp3BytesNoTag(kMinListedFileSize));
    dir.WriteFile("small.mp3", test::Mp3BytesNoTag(100));
    TFindFile finder;
    finder.Directory = dir.path().string();
    finder.Recurse = true;
    finder.Filter = "*.mp3";
    finder.Execute();
    const std::vector<std::string> plain = finder.Files;
    TFileList list;
    finder.Sink = &list.FoundFiles();
    finder.Execute();
    EXPECT_TRUE(finder.Files.empty());
    ASSERT_EQ(finder.FoundCount(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(list.RowBuffer().Path(i), plain[i]);
    list.UpdateList(finder.Directory);
    EXPECT_EQ(list.Count(), plain.size()); // the small file gets no row; row 0 is the placeholder
    EXPECT_EQ(list.GetFileName(1), dir / "A.mp3");
}

// A written tag finds its row through the folder and name index (nested folders, names that
// repeat in other folders), shows the bytes as written and counts an appended tag's bytes.
TEST(FileRowStoreTest, WrittenTagsUpdateTheirOwnRow) {
    struct Case {
        std::string path;
        std::string title; // as given; the row shows at most 30 bytes
        std::string shown;
        std::uint64_t size; // after the write
    };
    const Case cases[] = {
        {"/d/a.mp3", "New", "New", 20000 + 128},   // untagged before: a tag appended
        {"/d/Sub/a.mp3", std::string(40, 'x'), std::string(30, 'x'), 30000},
        {"/d/Sub/Deeper/a.mp3", "", "", 40000},
    };
    TFileList list;
    list.SetDirectory("/d");
    TMP3Tag old;
    old.Header = "TAG";
    old.Title = "Old";
    TFileRowStore& buffer = list.RowBuffer();
    buffer.SetTag(buffer.AddFullPath("/d/a.mp3"), 20000, TMP3Tag{});
    buffer.SetTag(buffer.AddFullPath("/d/Sub/a.mp3"), 30000, old);
    buffer.SetTag(buffer.AddFullPath("/d/Sub/Deeper/a.mp3"), 40000, old);
    list.SortList();
    list.SetAllSelected(true);
    for (const Case& c : cases) {
        TMP3Tag tag;
        tag.FileName = c.path;
        tag.Header = "TAG";
        tag.Title = c.title;
        list.SingleUpdateWritten(tag);
        ASSERT_EQ(list.Count(), 4u) << c.path; // replaced, not appended
        std::size_t row = 0;
        for (std::size_t i = 1; i < list.Count(); ++i)
            if (list.GetFileName(i) == c.path)
                row = i;
        ASSERT_NE(row, 0u) << c.path;
        EXPECT_EQ(TFileList::GetStringItem(2, list.ItemText(row)), c.shown) << c.path;
        EXPECT_EQ(list.FileSize(row), c.size) << c.path;
        EXPECT_FALSE(list.Selected(row)) << c.path;
    }
    EXPECT_EQ(list.SelCount(), 0u);
    TMP3Tag elsewhere;
    elsewhere.FileName = "/d/Other/a.mp3";
    list.SingleUpdateWritten(elsewhere); // no row for it: appended
    EXPECT_EQ(list.Count(), 5u);
    EXPECT_EQ(list.GetFileName(4), "/d/Other/a.mp3");
}

} // namespace
} // namespace veltrane
