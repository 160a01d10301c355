#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Escape.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>

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

} // namespace
} // namespace veltrane::cli
