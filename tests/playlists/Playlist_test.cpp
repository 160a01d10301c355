#include "playlists/Playlist.h"

#include "browser/Execfile.h"
#include "support/TestDir.h"
#include "support/platform/FakeAssociations.h"
#include "support/platform/FakeProcessStarter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace veltrane {
namespace {

using Lines = std::vector<std::string>;

// A playlist holding entries with the flag clear, as the main window fills it.
TPlaylist Make(const Lines& entries) {
    TPlaylist p;
    p.Fill(entries);
    return p;
}

TEST(Playlist, ListOperationsAndTheChangedFlag) {
    // Each case starts from the entries (flag clear), runs one operation and checks the
    // entries and the flag after it.
    const struct {
        const char* name;
        Lines before;
        std::function<void(TPlaylist&)> run;
        Lines after;
        bool changed;
    } cases[] = {
        {"shown with entries", {"P"}, [](TPlaylist& p) { p.EditorShown(); }, {"P"}, true},
        {"shown empty", {}, [](TPlaylist& p) { p.EditorShown(); }, {}, false},
        {"up wraps the first to the end", {"P", "Q", "R"},
         [](TPlaylist& p) { EXPECT_EQ(p.Up(0), 2u); }, {"Q", "R", "P"}, true},
        {"up in the middle", {"P", "Q", "R"}, [](TPlaylist& p) { EXPECT_EQ(p.Up(2), 1u); },
         {"P", "R", "Q"}, true},
        {"up with one entry", {"P"}, [](TPlaylist& p) { EXPECT_EQ(p.Up(0), 0u); }, {"P"}, true},
        {"up without a current entry", {"P", "Q"},
         [](TPlaylist& p) { EXPECT_EQ(p.Up(std::nullopt), std::nullopt); }, {"P", "Q"}, false},
        {"down wraps the last to the top", {"P", "Q", "R"},
         [](TPlaylist& p) { EXPECT_EQ(p.Down(2), 0u); }, {"R", "P", "Q"}, true},
        {"down in the middle", {"P", "Q", "R"}, [](TPlaylist& p) { EXPECT_EQ(p.Down(0), 1u); },
         {"Q", "P", "R"}, true},
        {"remove the selected", {"P", "Q", "R", "S"},
         [](TPlaylist& p) {
             p.SetSelected(1, true);
             p.SetSelected(2, true);
             p.Remove();
         },
         {"P", "S"}, true},
        {"remove with nothing selected", {"P", "Q"}, [](TPlaylist& p) { p.Remove(); },
         {"P", "Q"}, true},
        {"remove on an empty list", {}, [](TPlaylist& p) { p.Remove(); }, {}, false},
        {"reverse", {"P", "Q", "R"}, [](TPlaylist& p) { p.Reverse(); }, {"R", "Q", "P"}, true},
        {"reverse an empty list", {}, [](TPlaylist& p) { p.Reverse(); }, {}, false},
        {"sort ignores case, keeps the flag", {"q", "P", "r", "p", "Q"},
         [](TPlaylist& p) { p.Sort(); }, {"P", "p", "q", "Q", "r"}, false},
        {"add a file", {"P"}, [](TPlaylist& p) { p.AddFile("Q"); }, {"P", "Q"}, true},
        {"refill from the main list", {"P"}, [](TPlaylist& p) { p.Fill({"X", "Y"}); },
         {"X", "Y"}, false},
    };
    for (const auto& c : cases) {
        TPlaylist p = Make(c.before);
        c.run(p);
        EXPECT_EQ(p.Entries(), c.after) << c.name;
        EXPECT_EQ(p.Changed(), c.changed) << c.name;
    }
}

TEST(Playlist, UpDownDropTheMovedSelectionAndSortClearsMarks) {
    TPlaylist p = Make({"b", "A", "c"});
    p.SetSelected(0, true);
    p.SetSelected(2, true);
    EXPECT_EQ(p.Down(0), 1u);
    EXPECT_FALSE(p.Selected(1));
    EXPECT_TRUE(p.Selected(2));
    p.Sort();
    for (std::size_t i = 0; i < p.Count(); ++i)
        EXPECT_FALSE(p.Selected(i));
}

TEST(Playlist, RandomizeKeepsEveryEntryOnce) {
    const Lines entries = {"a", "b", "b", "c", "d", "e", "f", "g"};
    std::mt19937_64 random(42);
    bool moved = false;
    for (int round = 0; round < 20; ++round) {
        TPlaylist p = Make(entries);
        p.Randomize(random);
        Lines got = p.Entries();
        moved = moved || got != entries;
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, entries);
        EXPECT_TRUE(p.Changed());
    }
    EXPECT_TRUE(moved);
    TPlaylist empty;
    empty.Randomize(random);
    EXPECT_FALSE(empty.Changed());
}

TEST(Playlist, CleanupMarksMissingFilesAndDirectories) {
    test::TestDir dir;
    const std::string file = dir.WriteFile("here.mp3", "x");
    const std::string sub = dir.MakeDir("folder.mp3");
    dir.WriteFile("rel/song.mp3", "x");
    dir.WriteFile("list.m3u", file + "\r\n" + dir / "gone.mp3" + "\r\n" + sub +
                                  "\r\nrel/song.mp3\r\nrel/none.mp3\r\n");
    TPlaylist p;
    p.LoadPlayList(dir / "list.m3u");
    EXPECT_FALSE(p.Changed());
    p.SetSelected(0, true);
    p.Cleanup();
    const std::vector<bool> missing = {false, true, true, false, true};
    for (std::size_t i = 0; i < p.Count(); ++i)
        EXPECT_EQ(p.Selected(i), missing[i]) << p.Get(i);
    EXPECT_FALSE(p.Changed());
}

TEST(Playlist, LoadingAndSaving) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.m3u", "1\r\n2\r\n");
    TPlaylist p = Make({"x"});
    p.LoadIntoPlaylist(a, plAppend);
    EXPECT_EQ(p.Entries(), (Lines{"x", "1", "2"}));
    EXPECT_EQ(p.FileName(), a);
    EXPECT_TRUE(p.Changed());
    p.LoadIntoPlaylist(a, plReplace);
    EXPECT_EQ(p.Entries(), (Lines{"1", "2"}));

    // A failed load changes nothing.
    EXPECT_THROW(p.LoadIntoPlaylist(dir / "missing.m3u", plReplace), EPlaylistFileError);
    EXPECT_EQ(p.FileName(), a);
    EXPECT_EQ(p.Count(), 2u);

    // Save, then the editor's reload: old lines followed by the saved ones, the first on a
    // line of its own although the old last line had no line end; flag kept.
    const std::string b = dir.WriteFile("b.m3u", "old");
    p.Save(b, pwAppend);
    p.LoadPlayList(b);
    EXPECT_EQ(p.Entries(), (Lines{"old", "1", "2"}));
    EXPECT_EQ(p.FileName(), b);
    EXPECT_TRUE(p.Changed());
}

TEST(Playlist, LaunchGivesThePlayerThePlaylistFileAsOneArgument) {
    test::FakeProcessStarter starter;
    test::FakeAssociations associations;
    TExecFile playFile(starter, associations);
    TPlaylist p = Make({"x"});
    EXPECT_FALSE(p.Launch(playFile, "player --enqueue"));
    EXPECT_TRUE(starter.started.empty());
    test::TestDir dir;
    const std::string path = dir.WriteFile("with \"quote\" and ;.m3u", "x\r\n");
    p.LoadPlayList(path);
    EXPECT_TRUE(p.Launch(playFile, "player --enqueue"));
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0].argv, (Lines{"player", "--enqueue", path}));
}

} // namespace
} // namespace veltrane
