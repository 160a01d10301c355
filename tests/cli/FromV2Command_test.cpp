#include "CliRun.h"
#include "cli/Cli.h"

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
    EXPECT_NE(r.err.find("  " + a + ": comment (ü)\n"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"tag", "show", a}).out, a + "\t1\tOld\tBand\t\t\t17\tRock\t?\t3\n");

    r = Cli({"tag", "from-v2", "--overwrite", "--fields", "title", a});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cli({"tag", "show", a}).out, a + "\t1\tSong\tBand\t\t\t17\tRock\t?\t3\n");
}

} // namespace
} // namespace veltrane::cli
