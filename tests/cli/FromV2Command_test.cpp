#include "CliRun.h"
#include "cli/Cli.h"

#include "support/HostileId3v2.h"
#include "support/Id3v2Builder.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace veltrane::cli {
namespace {

TEST(TagFromV2, ShowsFillsAndReportsEachFileThatFailed) {
    test::TestDir dir;
    const std::string audio = test::Mp3BytesNoTag(400);
    const std::string a = dir.WriteFile(
        "a.mp3", test::Id3v2Bytes({{"TIT2", {"Song"}}, {"TPE1", {"Band"}}, {"TCON", {"(17)"}},
                                   {"TRCK", {"3/12"}}, {"COMM", {"", "ü"}}}) +
                     audio + test::TagBytes({"Old", "", "", "", "", 255}));
    const std::string bad = dir.WriteFile("bad.mp3", std::string("ID3\x04\0\0\x60\0\0\0", 10) + audio);

    CliRun r = Cli({"tag", "show", "--v2", a, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, a + "\t1\tSong\tBand\t\t\t17\tRock\tü\t3\n");
    EXPECT_EQ(r.err, "veltrane-cli: " + bad + ": no readable ID3v2 tag\n");

    EXPECT_EQ(Cli({"tag", "from-v2", "--fields", "title,colour", a}).status, 2);
    r = Cli({"tag", "from-v2", "--codepage", "WINDOWS-1251", a, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(bad + ": no readable ID3v2 tag\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("  " + a + ": comment (ü, WINDOWS-1251)\n"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"tag", "show", a}).out, a + "\t1\tOld\tBand\t\t\t17\tRock\t?\t3\n");

    r = Cli({"tag", "from-v2", "--overwrite", "--fields", "title", a});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cli({"tag", "show", a}).out, a + "\t1\tSong\tBand\t\t\t17\tRock\t?\t3\n");
}

// One batch of hostile tags: each file that can be read is shown and filled, the one that
// cannot is named and makes the exit 1, and the files after it are still done.
TEST(TagFromV2, HostileTagsInOneBatch) {
    test::TestDir dir;
    const std::string audio = test::Mp3BytesNoTag(400);
    const struct {
        const char* name;
        std::string tag;
        const char* shown; // the columns after the path; nullptr: not readable
    } cases[] = {
        {"nested.mp3", test::NestedChapters(20000), "\t1\tSong\t\t\t\t255\t\t\t\n"},
        {"bomb.mp3",
         test::TagOf(4, 0, test::CompressedFrame("TIT2", "x", 200u << 20) +
                               test::TextFrame(4, "TPE1", "Band")),
         "\t1\t\tBand\t\t\t255\t\t\t\n"},
        {"broken.mp3", test::TagOf(3, 0x40, test::Plain4(60) + test::TextFrame(3, "TIT2", "S")),
         nullptr},
        {"ext23.mp3", test::ExtendedHeader23(true), "\t1\tSong\tBand\t\t\t255\t\t\t\n"},
    };
    std::vector<std::string> paths;
    std::string shown, named;
    for (const auto& c : cases) {
        paths.push_back(dir.WriteFile(c.name, c.tag + audio));
        if (c.shown)
            shown += paths.back() + c.shown;
        else
            named += "veltrane-cli: " + paths.back() + ": no readable ID3v2 tag\n";
    }
    std::vector<std::string> args = {"tag", "show", "--v2"};
    args.insert(args.end(), paths.begin(), paths.end());
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, shown);
    EXPECT_EQ(r.err, named);

    args = {"tag", "from-v2"};
    args.insert(args.end(), paths.begin(), paths.end());
    r = Cli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, named);
    EXPECT_EQ(Cli({"tag", "show", paths[3]}).out, paths[3] + "\t1\tSong\tBand\t\t\t255\t\t\t\n");
}

} // namespace
} // namespace veltrane::cli
