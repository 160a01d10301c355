#include "CliRun.h"
#include "cli/Cli.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace veltrane::cli {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::RawTag;

TEST(TagShow, PrintsEscapedFieldsOfFilesAndDirectories) {
    test::TestDir dir;
    const std::string a = dir.WriteFile(
        "M/a.mp3", Mp3Bytes(400, RawTag{"Caf\xE9\\x", "Art", "", "1999", "c", 17, '\0'}));
    dir.WriteFile("M/S/new\nline\xFF.mp3", Mp3BytesNoTag(10));
    dir.WriteFile("M/skip.txt", Mp3BytesNoTag(200));
    const std::string g = dir.WriteFile("g.mp3", Mp3Bytes(10, RawTag{"", "", "", "", "", 200}));

    CliRun r = Cli({"tag", "show", "--recursive", dir / "M", g});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, a + "\t1\tCafé\\\\x\tArt\t\t1999\t17\tRock\tc\t\n" +
                         dir / "M/S/new\\nline\\xff.mp3" + "\t0\t\t\t\t\t255\t\t\t\n" + g +
                         "\t1\t\t\t\t\t200\t\t\t\n");

    r = Cli({"tag", "show", dir / "M"}); // without --recursive only the folder itself
    EXPECT_EQ(r.out.substr(0, a.size()), a);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST(TagShow, ReportsUnreadableFilesAndGoesOn) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", Mp3BytesNoTag(10));
    const CliRun r = Cli({"tag", "show", dir / "missing.mp3", a});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "veltrane-cli: " + dir / "missing.mp3" + ": File not found\n");
    EXPECT_EQ(r.out, a + "\t0\t\t\t\t\t255\t\t\t\n");
}

TEST(TagShow, SameOutputErrorsAndStatusWhateverTheJobs) {
    test::TestDir dir;
    std::vector<std::string> named;
    for (int i = 0; i < 150; ++i) {
        const std::string name = "D/" + std::to_string(i % 4) + "/" + std::to_string(i) + ".mp3";
        const std::string path =
            i % 3 ? dir.WriteFile(name, Mp3Bytes(300, RawTag{"T" + std::to_string(i), "A", "",
                                                             "", "", std::uint8_t(i)}))
                  : dir.WriteFile(name, Mp3BytesNoTag(i));
        if (i % 10 == 0)
            named.push_back(path);
    }
    named.insert(named.begin() + 3, dir / "gone.mp3");
    named.insert(named.begin() + 6, dir / "D"); // a directory between named files
    named.push_back(dir / "also gone.mp3");
    std::vector<std::string> args = {"tag", "show", "--recursive", "--jobs", "1"};
    args.insert(args.end(), named.begin(), named.end());
    const CliRun one = Cli(args);
    args[4] = "8";
    const CliRun eight = Cli(args);
    args.erase(args.begin() + 3, args.begin() + 5);
    const CliRun chosen = Cli(args);
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 150 + 15);
    EXPECT_EQ(one.err, "veltrane-cli: " + dir / "gone.mp3" + ": File not found\n" +
                           "veltrane-cli: " + dir / "also gone.mp3" + ": File not found\n");
    for (const CliRun* other : {&eight, &chosen}) {
        EXPECT_EQ(other->out, one.out);
        EXPECT_EQ(other->err, one.err);
        EXPECT_EQ(other->status, one.status);
    }
    for (const char* bad : {"0", "-1", "257", "x", "2x", ""})
        EXPECT_EQ(Cli({"tag", "show", "--jobs", bad, dir / "D"}).status, 2) << bad;
}

TEST(TagShow, CodePageOption) {
    test::TestDir dir;
    const std::string a =
        dir.WriteFile("a.mp3", Mp3Bytes(10, RawTag{"\xCF\xE5\xF1", "", "", "", "", 1}));
    EXPECT_EQ(Cli({"tag", "show", "--codepage", "CP1251", a}).out.substr(a.size(), 9), "\t1\tПес");
    EXPECT_EQ(Cli({"tag", "show", "--codepage", "UTF-16", a}).status, 2);
}

TEST(TagSet, ChangesOnlyGivenFields) {
    test::TestDir dir;
    const std::string tagged =
        dir.WriteFile("t.mp3", Mp3Bytes(300, RawTag{"Title", "Artist", "Album", "1999", "C", 3}));
    const std::string bare = dir.WriteFile("b.mp3", Mp3BytesNoTag(300));
    CliRun r = Cli({"tag", "set", "--album", "Live", "--genre", "classic rock", tagged, bare});
    EXPECT_EQ(r.status, 0) << r.err;
    r = Cli({"tag", "show", tagged, bare});
    EXPECT_EQ(r.out, tagged + "\t1\tTitle\tArtist\tLive\t1999\t1\tClassic Rock\tC\t\n" + bare +
                         "\t1\t\t\tLive\t\t1\tClassic Rock\t\t\n");

    EXPECT_EQ(Cli({"tag", "set", "--genre", "", tagged}).status, 0);
    EXPECT_EQ(Cli({"tag", "show", tagged}).out.find("\t255\t\t"), tagged.size() + 25);
    EXPECT_EQ(Cli({"tag", "set", "--genre=Rock ", "--", tagged}).status, 0);
    EXPECT_NE(Cli({"tag", "show", tagged}).out.find("\t17\tRock\t"), std::string::npos);
}

TEST(TagSet, BadGenreIsAUsageErrorBeforeAnyWrite) {
    test::TestDir dir;
    const std::string original = Mp3BytesNoTag(300);
    const std::string f = dir.WriteFile("f.mp3", original);
    for (const char* genre : {"Bebop", "256", "-1"}) {
        const CliRun r = Cli({"tag", "set", "--title", "X", "--genre", genre, f});
        EXPECT_EQ(r.status, 2) << genre;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
    EXPECT_EQ(dir.ReadFile("f.mp3"), original);
    EXPECT_EQ(Cli({"tag", "set", "--genre", "84", f}).status, 0);
    EXPECT_NE(Cli({"tag", "show", f}).out.find("\t84\tBebob\t"), std::string::npos);
    EXPECT_EQ(Cli({"tag", "set", "--genre", "0017", f}).status, 0);
    EXPECT_NE(Cli({"tag", "show", f}).out.find("\t17\tRock\t"), std::string::npos);
    EXPECT_EQ(Cli({"tag", "set", "--genre", "99999999999999999999", f}).status, 2);
}

TEST(TagSet, MissingFileFailsOthersStillWritten) {
    test::TestDir dir;
    const std::string f = dir.WriteFile("f.mp3", Mp3BytesNoTag(300));
    const CliRun r = Cli({"tag", "set", "--title", "T", dir / "nope.mp3", f});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "veltrane-cli: " + dir / "nope.mp3" + ": File not found\n");
    EXPECT_EQ(dir.ReadFile("f.mp3").size(), 428u);
}

TEST(Cli, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"tag", "show"},
                                               {"tag", "show", "--title", "x", "f"},
                                               {"tag", "set", "--title"},
                                               {"tag", "set", "--title", "x"},
                                               {"find"},
                                               {"find", "a", "b"},
                                               {"find", "--recursive=yes", "a"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Cli({"tag", "show", "--help"}).status, 0);
}

} // namespace
} // namespace veltrane::cli
