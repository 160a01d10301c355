#include "cli/Cli.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace veltrane::cli {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::RawTag;

std::string List(std::vector<std::string> args, int expectedStatus = 0) {
    std::ostringstream out, err;
    args.insert(args.begin(), "list");
    EXPECT_EQ(RunCli(args, out, err), expectedStatus) << err.str();
    return out.str();
}

TEST(List, RowsColumnsAndOrder) {
    test::TestDir dir;
    dir.WriteFile("b.mp3", Mp3Bytes(20000, {"Song B", "Zed", "Al", "1999", "C", 17}));
    dir.WriteFile("A.mp3", Mp3Bytes(20000, {"Song A", "Abe", "", "2001", "", 200}));
    dir.WriteFile("small.mp3", Mp3BytesNoTag(1000));
    dir.WriteFile("Sub/c.mp3", Mp3BytesNoTag(20000));
    const std::string d = dir.path().string();
    EXPECT_EQ(List({d}), "A.mp3\tSong A\tAbe\t\t2001\t\t\t\n"
                         "b.mp3\tSong B\tZed\tAl\t1999\tRock\tC\t\n");
    EXPECT_EQ(List({"--recursive", "--sort", "-1", d}), "Sub/c.mp3\t\t\t\t\t\t\t\n"
                                                        "b.mp3\tSong B\tZed\tAl\t1999\tRock\tC\t\n"
                                                        "A.mp3\tSong A\tAbe\t\t2001\t\t\t\n");
    EXPECT_EQ(List({"--sort", "3", d}).substr(0, 5), "A.mp3");
    EXPECT_EQ(List({"--sort", "5", d + "/"}).substr(0, 5), "b.mp3");
    EXPECT_EQ(List({"--sort", "-5", d}).substr(0, 5), "A.mp3");
}

// A listing longer than one written piece comes out whole, each row once, in order.
TEST(List, LongListingIsWrittenWhole) {
    test::TestDir dir;
    const std::string audio = Mp3BytesNoTag(20000);
    std::string expected;
    for (int i = 0; i < 330; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", i);
        const std::string name = "Sub/" + std::string(number) + std::string(200, 'x') + ".mp3";
        dir.WriteFile(name, audio);
        expected += name + "\t\t\t\t\t\t\t\n";
    }
    ASSERT_GT(expected.size(), 1u << 16);
    EXPECT_EQ(List({"--recursive", dir.path().string()}), expected);
}

TEST(List, AwkwardNamesAndTexts) {
    test::TestDir dir;
    dir.WriteFile("tab\there \"q\";.mp3", Mp3BytesNoTag(20000));
    dir.WriteFile("line\nbreak.mp3", Mp3BytesNoTag(20000));
    dir.WriteFile("\xe9t\xe9 -x.mp3", Mp3Bytes(20000, {"\xe9t\xe9", "a\\b", "", "", "", 255}));
    EXPECT_EQ(List({dir.path().string()}),
              "line\\nbreak.mp3\t\t\t\t\t\t\t\n"
              "tab\\there \"q\";.mp3\t\t\t\t\t\t\t\n"
              "\\xe9t\\xe9 -x.mp3\t\xc3\xa9t\xc3\xa9\ta\\\\b\t\t\t\t\t\n");
}

TEST(Scans, PathsLongerThanPathMaxAreReadAndWritten) {
    test::TestDir dir;
    const std::string song =
        dir.WriteDeepFile(std::string(200, 'd'), 22, "song.mp3",
                          Mp3Bytes(20000, RawTag{"Deep", "", "", "", "", 255}));
    ASSERT_GT(song.size(), 4096u);
    const std::string relative = song.substr(dir.path().string().size() + 1);
    EXPECT_EQ(List({"--recursive", dir.path().string()}), relative + "\tDeep\t\t\t\t\t\t\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"tag", "set", "--artist", "Far", song}, out, err), 0) << err.str();
    EXPECT_EQ(RunCli({"tag", "show", "--recursive", dir.path().string()}, out, err), 0)
        << err.str();
    EXPECT_NE(out.str().find("\tDeep\tFar\t"), std::string::npos) << out.str();
    const std::string deepDir = song.substr(0, song.rfind('/'));
    std::ostringstream shown;
    EXPECT_EQ(RunCli({"tag", "show", deepDir}, shown, err), 0) << err.str();
    EXPECT_EQ(shown.str().substr(0, song.size()), song);
}

TEST(Scans, BrokenLinksAreNamedAndTheExitStatusIsOne) {
    test::TestDir dir;
    dir.WriteFile("good.mp3", Mp3Bytes(20000, RawTag{"Good", "", "", "", "", 255}));
    ASSERT_EQ(::symlink("gone.mp3", (dir / "dangling.mp3").c_str()), 0);
    const std::vector<std::vector<std::string>> commands = {
        {"list", dir.path().string()},
        {"find", "--filter", "*.mp3", dir.path().string()},
        {"tag", "show", dir.path().string()},
        {"select", "--text", "Good", dir.path().string()},
    };
    for (const auto& args : commands) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCli(args, out, err), 1) << args[0];
        EXPECT_EQ(err.str(),
                  "veltrane-cli: " + (dir / "dangling.mp3") + ": dangling symbolic link\n")
            << args[0];
        EXPECT_NE(out.str().find("good.mp3"), std::string::npos) << args[0];
    }
}

TEST(List, NothingFoundAndBadInput) {
    test::TestDir dir;
    EXPECT_EQ(List({dir.path().string()}), "No mp3's found!\n");
    dir.WriteFile("tiny.mp3", "x");
    EXPECT_EQ(List({dir.path().string()}), ""); // found but too small: no rows at all
    List({"--sort", "9", dir.path().string()}, 2);
    List({"--sort", "-9", dir.path().string()}, 2);
    List({"--sort", "0", dir.path().string()}, 2);
    List({"--sort", "x", dir.path().string()}, 2);
    List({}, 2);
    List({"--codepage", "UTF-16", dir.path().string()}, 2);
}

TEST(List, SaysHowManyFilesItLeftOutForTheirSize) {
    const struct {
        std::vector<std::size_t> small; // sizes of the files too small for a row
        std::string err;
    } cases[] = {
        {{}, ""},
        {{16511}, "veltrane-cli: 1 file under 16512 bytes left out\n"},
        {{0, 1, 16511}, "veltrane-cli: 3 files under 16512 bytes left out\n"},
    };
    for (const auto& c : cases) {
        test::TestDir dir;
        dir.WriteFile("big.mp3", std::string(16512, 'x'));
        for (std::size_t k = 0; k < c.small.size(); ++k)
            dir.WriteFile("s" + std::to_string(k) + ".mp3", std::string(c.small[k], 'x'));
        std::ostringstream out, err;
        EXPECT_EQ(RunCli({"list", dir.path().string()}, out, err), 0);
        EXPECT_EQ(out.str(), "big.mp3\t\t\t\t\t\t\t\n");
        EXPECT_EQ(err.str(), c.err);
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"list", "--help"}, out, err), 0);
    EXPECT_NE(out.str().find("under 16512 bytes"), std::string::npos) << out.str();
}

TEST(List, CodePageOfTheTags) {
    test::TestDir dir;
    dir.WriteFile("a.mp3", Mp3Bytes(20000, {"\xe0", "", "", "", "", 255}));
    EXPECT_EQ(List({"--codepage", "ISO-8859-5", dir.path().string()}),
              "a.mp3\t\xd1\x80\t\t\t\t\t\t\n");
}

} // namespace
} // namespace veltrane::cli
