#include "playlists/ExtM3U.h"
#include "playlists/Playlist.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

using Lines = std::vector<std::string>;

TEST(ExtM3U, WhichLinesAreEntries) {
    const struct {
        const char* Name;
        std::string FileName, Text;
        Lines Entries;
    } cases[] = {
        {"plain: a # line and a blank line are entries", "p.m3u", "#1 Hit.mp3\r\n\r\nb.mp3\r\n",
         {"#1 Hit.mp3", "", "b.mp3"}},
        {"plain: #EXTM3U not first", "p.m3u", "a.mp3\n#EXTM3U\n", {"a.mp3", "#EXTM3U"}},
        {"header", "p.m3u", "#EXTM3U\n#EXTINF:12,A - T\na.mp3\n\n#x\nb.mp3\n#end\n",
         {"a.mp3", "b.mp3"}},
        {"BOM then header", "p.M3U", "\xEF\xBB\xBF#EXTM3U\r\nc.mp3", {"c.mp3"}},
        {"m3u8 without header, BOM dropped", "p.M3U8", "\xEF\xBB\xBF" "a.mp3\r#c\rb.mp3",
         {"a.mp3", "b.mp3"}},
        {"Ctrl-Z ends the file", "p.m3u8", "a.mp3\n\x1a" "b.mp3\n", {"a.mp3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DocumentEntries(ParsePlaylistDocument(c.Text, c.FileName)), c.Entries);
    }
}

TEST(ExtM3U, EditorKeepsEveryLineWithItsEntry) {
    test::TestDir dir;
    const std::string text = "\xEF\xBB\xBF#EXTM3U x\r\n#EXTINF:1,One\r\n#EXTVLCOPT:a\r\n1.mp3\r\n"
                             "\r\n#EXTINF:2,Two\r\n2.mp3\r\n#EXTINF:3,Three\r\n3.mp3\r\n#tail\r\n";
    const std::string file = dir.WriteFile("l.m3u", text);
    TPlaylist p;
    p.LoadIntoPlaylist(file, plReplace);
    EXPECT_EQ(p.Entries(), (Lines{"1.mp3", "2.mp3", "3.mp3"}));
    p.Save(file, pwOverwrite);
    EXPECT_EQ(dir.ReadFile("l.m3u"), text); // nothing lost, nothing added

    p.Reverse();
    p.Down(1); // 3 2 1 -> 3 1 2
    p.Save(file, pwOverwrite);
    EXPECT_EQ(dir.ReadFile("l.m3u"),
              "\xEF\xBB\xBF#EXTM3U x\r\n#EXTINF:3,Three\r\n3.mp3\r\n#EXTINF:1,One\r\n"
              "#EXTVLCOPT:a\r\n1.mp3\r\n\r\n#EXTINF:2,Two\r\n2.mp3\r\n#tail\r\n");
    p.Sort();
    p.SetSelected(1, true);
    p.Remove(); // its own lines go with it
    p.Save(file, pwOverwrite);
    EXPECT_EQ(dir.ReadFile("l.m3u"), "\xEF\xBB\xBF#EXTM3U x\r\n#EXTINF:1,One\r\n#EXTVLCOPT:a\r\n"
                                     "1.mp3\r\n#EXTINF:3,Three\r\n3.mp3\r\n#tail\r\n");

    // Cleanup looks at entries only, from the playlist's folder.
    dir.WriteFile("1.mp3", "x");
    p.LoadPlayList(file);
    p.Cleanup();
    EXPECT_FALSE(p.Selected(0));
    EXPECT_TRUE(p.Selected(1));
}

TEST(ExtM3U, WritesExtendedRelativeAndAppendsTheHeaderOnlyToNewFiles) {
    test::TestDir dir;
    const std::string a = dir.WriteFile(
        "M/a.mp3", test::Mp3Bytes(10, test::RawTag{"Song", "Band", "", "", "", 255}));
    const std::string b = dir.WriteFile("M/S/b b.mp3", test::Mp3BytesNoTag(10));
    const std::string t = dir.WriteFile("M/t.mp3", test::Mp3Bytes(10, test::RawTag{"Only", "", "", "", "", 255}));
    const std::string out = dir / "M/list.m3u8";
    WritePlaylistEntries(out, {a, b}, pwOverwrite, {true, true});
    const std::string first =
        "#EXTM3U\r\n#EXTINF:-1,Band - Song\r\na.mp3\r\n#EXTINF:-1,b b\r\nS/b b.mp3\r\n";
    EXPECT_EQ(dir.ReadFile("M/list.m3u8"), first);
    const std::string o = dir.WriteFile("M/o.mp3", test::Mp3Bytes(10, test::RawTag{"", "Solo", "", "", "", 255}));
    WritePlaylistEntries(out, {t, o, "/elsewhere/x.mp3"}, pwAppend, {true, true});
    EXPECT_EQ(dir.ReadFile("M/list.m3u8"), first +
              "#EXTINF:-1,Only\r\nt.mp3\r\n#EXTINF:-1,Solo\r\no.mp3\r\n#EXTINF:-1,x\r\n/elsewhere/x.mp3\r\n");
    WritePlaylistEntries(dir / "new.m3u", {a}, pwAppend, {true, false});
    EXPECT_EQ(dir.ReadFile("new.m3u"), "#EXTM3U\r\n#EXTINF:-1,Band - Song\r\n" + a + "\r\n");
    EXPECT_EQ(ResolvePlaylistPath("/d", "x.m3u8"), "/d/x.m3u8");
    EXPECT_EQ(ResolvePlaylistPath("/d", "x.m3u7"), "/d/x.m3u7.m3u");
}

} // namespace
} // namespace veltrane
