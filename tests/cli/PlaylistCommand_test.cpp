#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Escape.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace veltrane::cli {
namespace {

int Playlist(const Args& args, const std::string& input, std::string& out, std::string& err) {
    std::istringstream in(input);
    std::ostringstream o, e;
    const int rc = RunPlaylist(args, in, o, e);
    out = o.str();
    err = e.str();
    return rc;
}

TEST(PlaylistCommand, FindOutputRoundTripsByteForByte) {
    test::TestDir dir;
    const std::vector<std::string> names = {"a b.mp3", "tab\there.mp3", "lat\xe9.mp3",
                                            "back\\slash.mp3", "\xc3\xa4.mp3"};
    std::string found;
    for (const std::string& name : names)
        found += Escape(dir.WriteFile(name, "x")) + "\n";
    std::string out, err;
    ASSERT_EQ(Playlist({"write", dir / "mix.m3u"}, found, out, err), 0) << err;
    std::string expected;
    for (const std::string& name : names)
        expected += dir / name + "\r\n";
    EXPECT_EQ(dir.ReadFile("mix.m3u"), expected);
    EXPECT_EQ(Playlist({"show", dir / "mix.m3u"}, "", out, err), 0);
    EXPECT_EQ(out, found);
    EXPECT_EQ(Playlist({"check", dir / "mix.m3u"}, "", out, err), 0);
    EXPECT_EQ(out, "");

    // Entries on the command line, appended; check names the missing ones and fails.
    ASSERT_EQ(Playlist({"write", "--append", dir / "mix.m3u", "gone.mp3", dir / "a b.mp3"}, "",
                       out, err), 0);
    EXPECT_EQ(Playlist({"check", dir / "mix.m3u"}, "", out, err), 1);
    EXPECT_EQ(out, "gone.mp3\n");
}

TEST(PlaylistCommand, BadInputIsRefusedAndWritesNothing) {
    test::TestDir dir;
    std::string out, err;
    for (const char* line : {"bad\\q", "trailing\\", "short\\x4"}) {
        EXPECT_THROW(Playlist({"write", dir / "x.m3u"}, std::string("ok\n") + line + "\n", out, err),
                     UsageError);
    }
    EXPECT_EQ(Playlist({"write", dir / "x.m3u", "a\nb"}, "", out, err), 1);
    EXPECT_EQ(err.find('\n'), err.size() - 1); // one line, the name escaped
    EXPECT_FALSE(std::filesystem::exists(dir / "x.m3u"));
    EXPECT_EQ(Playlist({"show", dir / "missing.m3u"}, "", out, err), 1);
    EXPECT_NE(err.find("No such file"), std::string::npos);
}


// What the attacker wrote must read back as the same files: "#" entries of extended
// playlists, entries outside the playlist's folder, a BOM, NUL, and playlists not ours to write.
TEST(PlaylistCommand, EntriesReadBackAsTheFilesWritten) {
    test::TestDir dir;
    std::filesystem::create_directories(dir / "M/S");
    std::filesystem::create_directories(dir / "other");
    std::filesystem::create_directory_symlink(dir / "M", dir / "link");
    const std::string m = dir / "M";
    const struct {
        const char* name;
        std::string out;
        Args extra;
        std::string entry, shown;
    } cases[] = {
        {"m3u8: # entry", "M/a.m3u8", {}, "#1 Hit.mp3", "./#1 Hit.mp3\n"},
        {"--extended: # entry", "M/b.m3u", {"--extended"}, "#1 Hit.mp3", "./#1 Hit.mp3\n"},
        {"plain keeps # entries", "M/c.m3u", {}, "#1 Hit.mp3", "#1 Hit.mp3\n"},
        {"--relative giving #", "M/d.m3u8", {"--relative"}, m + "/#1 Hit.mp3", "./#1 Hit.mp3\n"},
        {"--relative below", "M/e.m3u", {"--relative"}, m + "/S/x.mp3", "S/x.mp3\n"},
        {"--relative outside: absolute", "M/f.m3u", {"--relative"}, dir / "other/x.mp3",
         dir / "other/x.mp3\n"},
        {"--relative through a link", "link/g.m3u", {"--relative"}, m + "/S/x.mp3", "S/x.mp3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out, err;
        Args args{"write"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        args.push_back(dir / c.out);
        args.push_back(c.entry);
        ASSERT_EQ(Playlist(args, "", out, err), 0) << err;
        EXPECT_EQ(Playlist({"show", dir / c.out}, "", out, err), 0);
        EXPECT_EQ(out, c.shown);
    }
    // Appending to a file that starts #EXTM3U writes "#" entries extended too.
    std::string out, err;
    // An entry named from the working folder, outside the playlist's: written whole, since
    // from the playlist's folder the same text names another file.
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const int rel = Playlist({"write", "--relative", dir / "M/r.m3u", "other/y.mp3"}, "", out, err);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(rel, 0) << err;
    EXPECT_EQ(dir.ReadFile("M/r.m3u"), (dir / "other/y.mp3") + "\r\n");
    dir.WriteFile("M/h.m3u", "#EXTM3U\r\n");
    EXPECT_EQ(Playlist({"write", "--append", dir / "M/h.m3u", "#2.mp3"}, "", out, err), 0);
    EXPECT_EQ(dir.ReadFile("M/h.m3u"), "#EXTM3U\r\n./#2.mp3\r\n");
    // A BOM an editor put before a plain playlist is no part of its first entry.
    dir.WriteFile("bom.m3u", "\xEF\xBB\xBF" "a.mp3\r\nb.mp3\r\n");
    EXPECT_EQ(Playlist({"show", dir / "bom.m3u"}, "", out, err), 0);
    EXPECT_EQ(out, "a.mp3\nb.mp3\n");
    // NUL cannot stand in a line: refused before anything is written.
    EXPECT_EQ(Playlist({"write", dir / "nul.m3u"}, "a\\x00b.mp3\n", out, err), 1);
    EXPECT_NE(err.find("NUL"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "nul.m3u"));
    // Without its owner's write bit a playlist is refused, also for root; a replaced one keeps
    // its mode.
    const std::string ro = dir.WriteFile("ro.m3u", "old\r\n");
    ::chmod(ro.c_str(), 0444);
    for (const Args& args : {Args{"write", ro, "x.mp3"}, Args{"write", "--append", ro, "x.mp3"}}) {
        EXPECT_EQ(Playlist(args, "", out, err), 1);
        EXPECT_NE(err.find("read-only"), std::string::npos);
        EXPECT_EQ(dir.ReadFile("ro.m3u"), "old\r\n");
    }
    const std::string kept = dir.WriteFile("kept.m3u", "old\r\n");
    ::chmod(kept.c_str(), 0640);
    EXPECT_EQ(Playlist({"write", kept, "x.mp3"}, "", out, err), 0);
    struct stat st {};
    ASSERT_EQ(::stat(kept.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

} // namespace
} // namespace veltrane::cli
